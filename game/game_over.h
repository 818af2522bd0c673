#pragma once

#include "game/battle.h"

// The end of a game: after a loss without cheat mode the computer's ships are shown first,
// then the banner and a key that leads back to the main menu.
void showGameOver(BattleResult result);
void revealEnemyShips();
