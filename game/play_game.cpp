#include "game/play_game.h"

void playGame() {}
