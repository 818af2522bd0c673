#include "game/game_over.h"
#include "game/game_over_banners.h"
#include "game_screen_test.h"

namespace {

constexpr char Stroke = '\xDB';
constexpr char Shadow = '\xB0';

void expectBlockFont(const std::array<std::string_view, 8>& banner) {
    EXPECT_EQ(banner[0].find(Shadow), std::string_view::npos);
    EXPECT_EQ(banner[7].find(Stroke), std::string_view::npos);
    const auto at = [&](std::size_t line, std::size_t column) {
        return column < banner[line].size() ? banner[line][column] : ' ';
    };
    for (std::size_t line = 0; line < 8; ++line) {
        for (std::size_t column = 0; column < banner[line].size(); ++column) {
            const char ch = banner[line][column];
            ASSERT_TRUE(ch == ' ' || ch == Stroke || ch == Shadow) << line << "," << column;
            // Every stroke casts its shadow one line down and one column left, and shadow
            // stands nowhere else.
            if (ch == Stroke && line < 7 && column > 0) {
                EXPECT_NE(at(line + 1, column - 1), ' ') << line << "," << column;
            }
            if (ch == Shadow) {
                EXPECT_EQ(at(line - 1, column + 1), Stroke) << line << "," << column;
            }
        }
    }
}

using GameOver = GameScreenTest;

} // namespace

TEST(GameOverBanners, LinesHaveTheirLengthsAndTheShadowedBlockFont) {
    std::vector<std::size_t> win, loss;
    for (const std::string_view line : WinBanner) {
        win.push_back(line.size());
    }
    for (const std::string_view line : LossBanner) {
        loss.push_back(line.size());
    }
    EXPECT_EQ(win, (std::vector<std::size_t>{93, 93, 93, 93, 93, 93, 93, 94}));
    EXPECT_EQ(loss, (std::vector<std::size_t>{82, 82, 82, 82, 82, 81, 82, 81}));
    expectBlockFont(WinBanner);
    expectBlockFont(LossBanner);
}

TEST_F(GameOver, LossWithoutHitsBlinksAllFourShipsAndAnyKeyEndsTheScreen) {
    gameState.enemyShips = {parseCoordinate("a1"), parseCoordinate("q8"), parseCoordinate("c3"),
                            parseCoordinate("d4")};
    pressKey(keys::Up);
    atPause(8, [&] {
        EXPECT_EQ(console.pauses.size(), 8u);
        for (const char* ship : {"a1", "q8", "c3", "d4"}) {
            EXPECT_TRUE(showsMarker(ship, Black)) << ship;
        }
    });
    atPause(10, [&] {
        EXPECT_TRUE(showsMarker("a1", LightCyan));
        EXPECT_TRUE(console.shows({10, 67}, "X", LightCyan));
    });
    atInput(0, [&] {
        for (int k = 0; k < 8; ++k) {
            EXPECT_TRUE(
                console.shows({58, 31 + k}, LossBanner[static_cast<std::size_t>(k)], DarkMagenta));
        }
        EXPECT_TRUE(console.shows(
            {65, 50}, "Drücken Sie eine beliebige Taste um zum Hauptmenü zurückzukehren..."_cp,
            LightRed));
        EXPECT_EQ(console.line(0), "");
    });

    showGameOver(BattleResult::ComputerWon);

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses,
              (std::vector<int>{500, 1000, 500, 1000, 500, 1000, 500, 1000, 500, 1000, 1000}));
    // One code of the arrow key is taken; nothing is echoed.
    EXPECT_EQ(console.line(51), "");
}
