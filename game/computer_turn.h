#pragma once

// The computer's turn on the player's own board: random cells it has not fired at, another
// shot after every hit. The player only watches.
void computerTurn();
