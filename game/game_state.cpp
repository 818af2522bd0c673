#include "game/game_state.h"

#include "options/game_options.h"

#include <cctype>

GameState gameState;

void resetGame() {
    // Every list goes: a ship or shot left from the last game would count as taken or as
    // already fired at in the next one.
    gameState = GameState{};
}

ScreenPos cellCentre(int column, int row) {
    return {10 * column + 20, 6 * row + 10};
}

ScreenPos parseCoordinate(std::string_view word) {
    ScreenPos cell;
    if (!word.empty()) {
        const int letter = std::tolower(static_cast<unsigned char>(word[0]));
        if (letter >= 'a' && letter <= 'q') {
            cell.x = (letter - 95) * 10;
        }
    }
    if (word.size() >= 2 && word[1] >= '1' && word[1] <= '8') {
        cell.y = word[1] * 6 - 284;
    }
    return cell;
}

bool isOnBoard(ScreenPos cell) {
    return cell.x <= 10 * gameOptions.columns + 10 && cell.y <= 6 * gameOptions.rows + 4;
}

std::string drawRandomCellName() {
    const int column = drawRandom() % gameOptions.columns;
    const int row = drawRandom() % gameOptions.rows;
    return {static_cast<char>('A' + column), static_cast<char>('1' + row)};
}
