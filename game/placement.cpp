#include "game/placement.h"

#include "game/board.h"
#include "game/cells.h"
#include "game/coordinate_input.h"
#include "game/game_state.h"

namespace {

void showShipPrompt(int shipNumber) {
    blankLine(MessageLine);
    setColor(LightRed);
    writeAt({MessageColumn, MessageLine}, "Platziere deine Schiffe!");
    blankLine(PromptLine);
    writeAt({MessageColumn, PromptLine}, "Bitte geben Sie die Koordinaten Ihres ");
    setColor(Yellow);
    writeNumber(shipNumber);
    writeText(". Schiffes");
    setColor(LightRed);
    writeText(" ein: ");
}

ScreenPos readFreeShipCell() {
    for (;;) {
        const ScreenPos cell = readCoordinate();
        if (const std::string_view fault = boardFault(cell); !fault.empty()) {
            showInputFault(fault, "Wählen Sie andere Koordinaten: "_cp);
        } else if (containsCell(gameState.playerShips, ShipCount, cell)) {
            showInputFault("Auf den angegebenen Korrdinaten ist bereits ein Schiff platziert!",
                           "Wählen Sie andere Koordinaten: "_cp, false);
        } else {
            return cell;
        }
    }
}

void placeEnemyShips() {
    for (int ship = 0; ship < ShipCount; ++ship) {
        ScreenPos cell;
        do {
            cell = parseCoordinate(drawRandomCellName());
        } while (containsCell(gameState.enemyShips, ship, cell));
        gameState.enemyShips[static_cast<std::size_t>(ship)] = cell;
    }
}

} // namespace

void placeShips() {
    setCursorVisible(true);
    clearScreen();
    drawBoard(BoardView::Own);
    for (int ship = 0; ship < ShipCount; ++ship) {
        showShipPrompt(ship + 1);
        // The slot of the ship being placed is still empty and matches no cell.
        const ScreenPos cell = readFreeShipCell();
        gameState.playerShips[static_cast<std::size_t>(ship)] = cell;
        drawCellMarker(cell, Yellow);
    }
    placeEnemyShips();
    pause(3000);
}
