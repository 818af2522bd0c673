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

TEST_F(BoardDrawing, OwnBoardShowsHitsOverShipsAndMissesInWater) {
    gameState.playerShips = {parseCoordinate("a1"), parseCoordinate("b1"), parseCoordinate("a2"),
                             parseCoordinate("b2")};
    gameState.enemyShots[0] = parseCoordinate("a1");
    gameState.enemyShots[1] = parseCoordinate("c1");
    gameState.enemyShotCount = 2;
    gameState.enemyHits[0] = parseCoordinate("a1");
    gameState.enemyHitCount = 1;
    drawBoard(BoardView::Own);
    EXPECT_TRUE(showsMarker("a1", DarkRed));
    EXPECT_TRUE(showsMarker("b1", Yellow));
    EXPECT_TRUE(showsMarker("c1", LightBlue));
    EXPECT_TRUE(showsEmptyCell("c2"));
}

TEST_F(BoardDrawing, EnemyShipsShowOnlyInCheatModeAndHitShipsShowDarkRed) {
    gameState.enemyShips = {parseCoordinate("a2"), parseCoordinate("b2"), parseCoordinate("q8"),
                            parseCoordinate("d4")};
    gameState.playerShots[0] = parseCoordinate("a2");
    gameState.playerShots[1] = parseCoordinate("c2");
    gameState.playerShotCount = 2;
    gameState.playerHits[0] = parseCoordinate("a2");
    gameState.playerHitCount = 1;

    drawBoard(BoardView::Enemy);
    EXPECT_TRUE(console.shows({90, 0}, "GEGNERISCHES FELD", LightRed));
    EXPECT_TRUE(showsMarker("a2", DarkRed));
    EXPECT_TRUE(showsMarker("c2", LightBlue));
    EXPECT_TRUE(showsEmptyCell("b2"));
    EXPECT_TRUE(showsEmptyCell("q8"));
    EXPECT_EQ(console.line(65), "          X = Wasser-Treffer");
    EXPECT_EQ(console.line(66), "          X = Schiff-Treffer");
    EXPECT_EQ(console.line(67), "");

    useBoard(17, 8, true);
    clearScreen();
    drawBoard(BoardView::Enemy);
    EXPECT_TRUE(showsMarker("a2", DarkRed));
    EXPECT_TRUE(showsMarker("b2", LightCyan));
    EXPECT_TRUE(showsMarker("q8", LightCyan));
    EXPECT_TRUE(console.shows({10, 67}, "X", LightCyan));
    EXPECT_TRUE(console.shows({11, 67}, " = feindliche Schiffe", BrightWhite));
}
