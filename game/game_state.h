#pragma once

// Clears the game record before every game.
void resetGame();
