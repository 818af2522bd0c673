#include "game/board.h"
#include "game_screen_test.h"

using BoardDrawing = GameScreenTest;

TEST_F(BoardDrawing, LabelsAndGridFollowTheBoardSize) {
    for (const auto& [columns, rows] : {std::pair{1, 4}, {2, 2}, {10, 5}, {17, 8}}) {
        SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
        gameOptions = {columns, rows};
        clearScreen();
        drawBoard(BoardView::Own);
        const int right = 10 * columns + 15;
        const int bottom = 6 * rows + 7;
        // Everything above the message area: grid, letters, numbers, or blank.
        for (int y = 1; y < MessageLine; ++y) {
            for (int x = 0; x < ConsoleWidth; ++x) {
                std::pair<char, std::uint8_t> expected{' ', 0};
                if (x >= 10 && x <= right && y >= 4 && y <= bottom &&
                    ((x - 15) % 10 == 0 || (y - 7) % 6 == 0)) {
                    expected = {'#', BrightWhite};
                } else if (y == 4 && x >= 20 && x < right + 5 && x % 10 == 0) {
                    expected = {static_cast<char>('A' + (x - 20) / 10), LightCyan};
                } else if (x == 10 && y >= 10 && y < bottom + 3 && (y - 10) % 6 == 0) {
                    expected = {static_cast<char>('1' + (y - 10) / 6), LightCyan};
                }
                ASSERT_EQ(console.textAt({x, y}, 1)[0], expected.first) << x << "," << y;
                if (expected.first != ' ') {
                    ASSERT_EQ(console.colorAt({x, y}), expected.second) << x << "," << y;
                }
            }
        }
    }
}
