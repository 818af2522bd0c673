#include "game/cells.h"

void drawCellMarker(ScreenPos centre, ConsoleColor color) {
    setColor(color);
    for (int d = -2; d <= 2; ++d) {
        writeAt({centre.x - 4, centre.y + d}, "XXXXXXXXX");
    }
}
