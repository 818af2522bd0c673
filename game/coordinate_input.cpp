#include "game/coordinate_input.h"

#include "game/cells.h"
#include "game/game_state.h"

ScreenPos readCoordinate() {
    setColor(LightGreen);
    return parseCoordinate(readWord());
}

std::string_view boardFault(ScreenPos cell) {
    if (cell.x == 0 || cell.y == 0) {
        return "Sie haben ungültige Koordinaten eingegeben!"_cp;
    }
    if (!isOnBoard(cell)) {
        return "So groß ist das Spielfeld nicht!"_cp;
    }
    return {};
}

void showInputFault(std::string_view message, std::string_view followUp, bool blankMessageLine) {
    if (blankMessageLine) {
        blankLine(MessageLine);
    }
    blankLine(PromptLine);
    setColor(LightRed);
    writeAt({MessageColumn, MessageLine}, message);
    writeAt({MessageColumn, PromptLine}, followUp);
    setColor(LightGreen);
}
