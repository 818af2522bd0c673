#include "game/board.h"
#include "game_screen_test.h"

#include <array>

using BoardDrawing = GameScreenTest;

TEST_F(BoardDrawing, TwoByTwoBoardWithShipsOnA1AndB2) {
    gameOptions = {2, 2};
    gameState.playerShips = {parseCoordinate("A1"), parseCoordinate("b2")};
    clearScreen();
    drawBoard(BoardView::Own);

    const std::string across = "          ##########################";
    const std::string blank = "               #         #         #";
    const std::string a1 = "               #XXXXXXXXX#         #";
    const std::string b2 = "               #         #XXXXXXXXX#";
    const std::array<std::string, 16> board = {
        "               #    A    #    B    #", blank, blank, across, a1, a1,
        "          1    #XXXXXXXXX#         #", a1,    a1,    across, b2, b2,
        "          2    #         #XXXXXXXXX#", b2,    b2,    across,
    };
    for (int y = 1; y < MessageLine; ++y) {
        EXPECT_EQ(console.line(y), y >= 4 && y < 20 ? board[std::size_t(y - 4)] : "") << y;
    }
    EXPECT_TRUE(console.shows({20, 4}, "A", LightCyan));
    EXPECT_TRUE(console.shows({10, 16}, "2", LightCyan));
    EXPECT_TRUE(console.shows({10, 19}, across.substr(10), BrightWhite));
    EXPECT_TRUE(console.shows({26, 16}, "XXXXXXXXX", Yellow));
}

TEST_F(BoardDrawing, LabelsAndGridEndWithTheBoardSize) {
    struct Size {
        int columns, rows;
        ScreenPos lastLetter, lastNumber, corner;
    };
    for (const Size& size :
         {Size{1, 4, {20, 4}, {10, 28}, {25, 31}}, Size{10, 5, {110, 4}, {10, 34}, {115, 37}},
          Size{17, 8, {180, 4}, {10, 52}, {185, 55}}}) {
        SCOPED_TRACE(std::to_string(size.columns) + " x " + std::to_string(size.rows));
        gameOptions = {size.columns, size.rows};
        clearScreen();
        drawBoard(BoardView::Enemy);
        const std::string letter(1, char('A' + size.columns - 1));
        EXPECT_TRUE(console.shows(size.lastLetter, letter, LightCyan));
        EXPECT_TRUE(console.shows(size.lastNumber, std::to_string(size.rows), LightCyan));
        const auto [right, bottom] = size.corner;
        EXPECT_TRUE(console.shows({right, 4}, "#", BrightWhite));
        EXPECT_TRUE(console.shows({10, bottom}, std::string(right - 9, '#'), BrightWhite));
        EXPECT_EQ(console.line(3), "");
        EXPECT_EQ(console.line(bottom + 1), "");
        for (int y = 4; y <= bottom; ++y) {
            EXPECT_EQ(console.line(y).size(), std::size_t(right + 1)) << y;
        }
    }
}
