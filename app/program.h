#pragma once

// Start-up, the main loop and the saving of the options; returns once the player has chosen
// "Beenden" in the main menu.
void runProgram();
