#pragma once

// The first phase of a game: the player types four ships on the own board, then the
// computer hides its four.
void placeShips();
