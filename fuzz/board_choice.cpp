#include "board_choice.h"

#include "game/game_state.h"
#include "options/game_options.h"

void chooseBoardSize(FuzzInput& input) {
    gameOptions.columns = 1 + static_cast<std::int32_t>(input.choose(MaxColumns));
    gameOptions.rows = 1 + static_cast<std::int32_t>(input.choose(MaxRows));
    if (gameOptions.columns * gameOptions.rows < ShipCount) {
        gameOptions.rows = MaxRows;
    }
}

int boardColumnAt(int x) {
    for (int column = 0; column < MaxColumns; ++column) {
        if (cellCentre(column, 0).x == x) {
            return column;
        }
    }
    return -1;
}

int boardRowAt(int y) {
    for (int row = 0; row < MaxRows; ++row) {
        if (cellCentre(0, row).y == y) {
            return row;
        }
    }
    return -1;
}

bool isCellCentre(ScreenPos cell) {
    const int column = boardColumnAt(cell.x);
    const int row = boardRowAt(cell.y);
    return column >= 0 && column < gameOptions.columns && row >= 0 && row < gameOptions.rows;
}
