#include "game/game_state.h"

void resetGame() {}
