#include "game/board.h"
#include "game_screen_test.h"

#include <array>

using BoardDrawing = GameScreenTest;

// More columns than rows, so that neither can stand in for the other.
TEST_F(BoardDrawing, ThreeByTwoBoardWithShipsOnA1AndB2) {
    gameOptions = {3, 2};
    gameState.playerShips = {parseCoordinate("A1"), parseCoordinate("b2")};
    clearScreen();
    drawBoard(BoardView::Own);

    const std::string across = "          ####################################";
    const std::string blank = "               #         #         #         #";
    const std::string a1 = "               #XXXXXXXXX#         #         #";
    const std::string b2 = "               #         #XXXXXXXXX#         #";
    const std::array<std::string, 16> board = {
        "               #    A    #    B    #    C    #", blank, blank, across, a1, a1,
        "          1    #XXXXXXXXX#         #         #", a1,    a1,    across, b2, b2,
        "          2    #         #XXXXXXXXX#         #", b2,    b2,    across,
    };
    for (int y = 1; y < MessageLine; ++y) {
        EXPECT_EQ(console.line(y), y >= 4 && y < 20 ? board[std::size_t(y - 4)] : "") << y;
    }
    EXPECT_TRUE(console.shows({20, 4}, "A", LightCyan));
    EXPECT_TRUE(console.shows({10, 16}, "2", LightCyan));
    EXPECT_TRUE(console.shows({10, 19}, across.substr(10), BrightWhite));
    EXPECT_TRUE(console.shows({26, 16}, "XXXXXXXXX", Yellow));
}
