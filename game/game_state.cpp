#include "game/game_state.h"

#include <cctype>

GameState gameState;

void resetGame() {
    // Every list goes: a ship or shot left from the last game would count as taken or as
    // already fired at in the next one.
    gameState = GameState{};
}

ScreenPos parseCoordinate(std::string_view word) {
    ScreenPos cell;
    if (!word.empty()) {
        const int column = std::tolower(static_cast<unsigned char>(word[0])) - 'a';
        if (column >= 0 && column < MaxColumns) {
            cell.x = cellCentre(column, 0).x;
        }
    }
    if (word.size() >= 2) {
        const int row = word[1] - '1';
        if (row >= 0 && row < MaxRows) {
            cell.y = cellCentre(0, row).y;
        }
    }
    return cell;
}

bool isOnBoard(ScreenPos cell) {
    const ScreenPos last = cellCentre(gameOptions.columns - 1, gameOptions.rows - 1);
    return cell.x <= last.x && cell.y <= last.y;
}

std::string drawRandomCellName() {
    const int column = drawRandom() % gameOptions.columns;
    const int row = drawRandom() % gameOptions.rows;
    return {static_cast<char>('A' + column), static_cast<char>('1' + row)};
}
