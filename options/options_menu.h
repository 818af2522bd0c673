#pragma once

// The options screen: cheat mode, saving, board width and height.
void runOptionsMenu();
