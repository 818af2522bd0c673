#pragma once

#include "console/console.h"
#include "game/battle.h"

// The end of a game: after a loss without cheat mode the computer's ships are shown first,
// then the banner and a key that leads back to the main menu.
void showGameOver(BattleResult result);
// The closing line of a screen that any key leaves for the main menu, and that key.
void awaitKeyForMainMenu(ScreenPos promptPos);
