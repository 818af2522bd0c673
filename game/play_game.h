#pragma once

// One game against the computer: placement, battle, end-of-game screen.
void playGame();
