#pragma once

#include "console/console.h"

// The 9 x 5 block of X that fills the inside of the cell around centre.
void drawCellMarker(ScreenPos centre, ConsoleColor color);
