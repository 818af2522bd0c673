#include "game/board.h"
#include "game_screen_test.h"

namespace {

class BoardDrawing : public GameScreenTest {
  protected:
    // What the board area (lines 1 to 56) should hold at one position on the current size.
    std::pair<char, std::uint8_t> expectedAt(int x, int y) const {
        const int columns = gameOptions.columns;
        const int rows = gameOptions.rows;
        const int bottom = 6 * rows + 7;
        const int right = 10 * columns + 15;
        const bool vertical = x >= 15 && x <= right && (x - 15) % 10 == 0 && y >= 4 && y <= bottom;
        const bool horizontal = y >= 7 && y <= bottom && (y - 7) % 6 == 0 && x >= 10 && x <= right;
        if (vertical || horizontal) {
            return {'#', BrightWhite};
        }
        if (y == 4 && x >= 20 && x < 10 * columns + 20 && x % 10 == 0) {
            return {static_cast<char>('A' + (x - 20) / 10), LightCyan};
        }
        if (x == 10 && y >= 10 && y < 6 * rows + 10 && (y - 10) % 6 == 0) {
            return {static_cast<char>('1' + (y - 10) / 6), LightCyan};
        }
        return {' ', 0};
    }

    void expectGeometry() {
        for (int y = 1; y < MessageLine; ++y) {
            for (int x = 0; x < ConsoleWidth; ++x) {
                const auto [ch, color] = expectedAt(x, y);
                ASSERT_EQ(console.textAt({x, y}, 1), std::string(1, ch)) << x << "," << y;
                if (ch != ' ') {
                    ASSERT_EQ(console.colorAt({x, y}), color) << x << "," << y;
                }
            }
        }
    }
};

} // namespace

TEST_F(BoardDrawing, LabelsAndGridFollowTheBoardSize) {
    for (const auto& [columns, rows] : {std::pair{1, 4}, {2, 2}, {10, 5}, {17, 8}}) {
        SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
        useBoard(columns, rows);
        clearScreen();
        drawBoard(BoardView::Own);
        expectGeometry();
        EXPECT_TRUE(console.shows({94, 0}, "DEIN FELD", LightRed));
        EXPECT_TRUE(console.shows({10, LegendLine}, "Legende:", BrightWhite));
    }
}

TEST_F(BoardDrawing, OwnBoardShowsShortLegendOnlyOnTheFirstDrawingOfAGame) {
    drawBoard(BoardView::Own);
    EXPECT_TRUE(console.shows({10, 65}, "X", Yellow));
    EXPECT_TRUE(console.shows({11, 65}, " = Deine Schiffe", BrightWhite));
    EXPECT_EQ(console.line(66), "");
    EXPECT_EQ(console.line(67), "");

    clearScreen();
    drawBoard(BoardView::Own);
    EXPECT_EQ(console.line(65), "          X = Deine Schiffe");
    EXPECT_TRUE(console.shows({10, 66}, "X", LightBlue));
    EXPECT_TRUE(console.shows({11, 66}, " = feindliche Wasser-Treffer", BrightWhite));
    EXPECT_TRUE(console.shows({10, 67}, "X", DarkRed));
    EXPECT_TRUE(console.shows({11, 67}, " = feindliche Schiff-Treffer", BrightWhite));

    resetGame();
    clearScreen();
    drawBoard(BoardView::Own);
    EXPECT_EQ(console.line(66), "");
}
