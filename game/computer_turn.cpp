#include "game/computer_turn.h"

#include "game/battle.h"
#include "game/board.h"
#include "game/cells.h"
#include "game/game_state.h"

#include <string>

namespace {

ShotResult fireComputerShot(bool firstOfTurn) {
    if (!firstOfTurn) {
        blankLine(MessageLine);
    }
    moveCursor({MessageColumn, MessageLine});
    setColor(LightRed);
    writeText("Gegner am Zug");
    for (int dot = 0; dot < 3; ++dot) {
        pause(500);
        writeText(".");
    }

    // A cell fired at before is drawn again, both numbers anew. Some ship of the player's
    // always stands on a cell not fired at yet, so this ends.
    std::string name;
    ScreenPos target;
    do {
        name = drawRandomCellName();
        target = parseCoordinate(name);
    } while (containsCell(gameState.enemyShots, gameState.enemyShotCount, target));
    gameState.enemyShots[static_cast<std::size_t>(gameState.enemyShotCount)] = target;

    const bool hit = containsCell(gameState.playerShips, ShipCount, target);
    blankLine(MessageLine);
    moveCursor({MessageColumn, MessageLine});
    setColor(LightRed);
    writeText("Gegner hat auf ");
    writeText(name);
    writeText(hit ? " geschossen und getroffen!" : " geschossen und NICHT getroffen!");
    if (hit) {
        drawCellMarker(target, DarkRed);
        gameState.enemyHits[static_cast<std::size_t>(gameState.enemyHitCount++)] = target;
    } else {
        drawCellMarker(target, LightBlue);
    }
    ++gameState.enemyShotCount;
    pause(3000);
    return hit ? ShotResult::Hit : ShotResult::Miss;
}

} // namespace

void computerTurn() {
    clearScreen();
    drawBoard(BoardView::Own);
    bool firstOfTurn = true;
    while (fireComputerShot(firstOfTurn) == ShotResult::Hit &&
           gameState.enemyHitCount < ShipCount) {
        firstOfTurn = false;
    }
}
