#include "options/game_options.h"

GameOptions gameOptions;
