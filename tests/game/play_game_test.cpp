#include "game/game_over_banners.h"
#include "game/play_game.h"
#include "game_screen_test.h"

namespace {

class WholeGame : public GameScreenTest {
  protected:
    // On 10 x 5 the player misses a5, the computer hits a1, b1, c1 and misses a2 (after
    // drawing b1 a second time), the player hits j5 and misses b5, and the computer's hit on
    // d1 wins.
    void scriptLostGame() {
        useBoard(10, 5, gameOptions.cheatMode);
        typeLines({"a1", "b1", "c1", "d1", "a5", "j5", "b5"});
        pressKey("x");
        computerPicks({"j5", "i5", "h5", "g5", "a1", "b1", "c1", "b1", "a2", "d1"});
    }
    void expectGameBoardsAt(std::size_t firstShotInput) {
        atInput(firstShotInput, [&] {
            EXPECT_TRUE(console.shows({90, 0}, "GEGNERISCHES FELD", LightRed));
            EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
            EXPECT_TRUE(console.screen().cursorVisible);
        });
    }
    static std::vector<int> repeated(std::vector<int> steps, int times) {
        std::vector<int> all;
        for (int i = 0; i < times; ++i) {
            all.insert(all.end(), steps.begin(), steps.end());
        }
        return all;
    }
    static std::vector<int> joined(std::initializer_list<std::vector<int>> parts) {
        std::vector<int> all;
        for (const std::vector<int>& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }
};

const std::vector<int> ComputerShot = {500, 500, 500, 3000};

} // namespace

TEST_F(WholeGame, FourHitsOnAFourCellBoardWinInTheFirstTurn) {
    useBoard(2, 2);
    typeLines({"a1", "b1", "a2", "b2", "b2", "a1", "b1", "a2"});
    pressKey("x");
    expectGameBoardsAt(4);
    atPause(4, [&] {
        for (const char* cell : {"a1", "b1", "a2", "b2"}) {
            EXPECT_TRUE(showsMarker(cell, DarkRed)) << cell;
        }
    });
    atInput(8, [&] {
        for (int k = 0; k < 8; ++k) {
            EXPECT_TRUE(
                console.shows({52, 31 + k}, WinBanner[static_cast<std::size_t>(k)], LightGreen));
        }
        EXPECT_TRUE(console.shows({65, 50}, "Drücken Sie eine beliebige Taste"_cp, LightRed));
        EXPECT_EQ(console.line(0), "");
        EXPECT_FALSE(console.screen().cursorVisible);
    });

    playGame();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses, std::vector<int>(5, 3000));
    EXPECT_EQ(gameState.enemyShotCount, 0);
    EXPECT_EQ(console.unreadInput(), 0u);
}

TEST_F(WholeGame, LossRevealsTheShipsThePlayerDidNotFind) {
    scriptLostGame();
    expectGameBoardsAt(4);
    atInput(5, [&] { EXPECT_TRUE(showsEmptyCell("j5")); });
    atPause(2, [&] {
        EXPECT_EQ(console.line(57), "          Gegner am Zug");
        EXPECT_TRUE(showsMarker("a1", Yellow));
    });
    atPause(4, [&] { EXPECT_EQ(console.line(57), "          Gegner am Zug.."); });
    atPause(5, [&] {
        EXPECT_TRUE(console.shows({94, 0}, "DEIN FELD", LightRed));
        EXPECT_EQ(console.line(57), "          Gegner hat auf A1 geschossen und getroffen!");
        EXPECT_TRUE(console.shows({11, 66}, " = feindliche Wasser-Treffer", BrightWhite));
        EXPECT_FALSE(console.screen().cursorVisible);
    });
    atPause(6, [&] {
        EXPECT_EQ(console.line(57), "          Gegner am Zug");
        EXPECT_TRUE(showsMarker("a1", DarkRed));
    });
    atPause(17, [&] {
        EXPECT_TRUE(
            console.shows({10, 57}, "Gegner hat auf A2 geschossen und NICHT getroffen!", LightRed));
        EXPECT_TRUE(showsMarker("a2", LightBlue));
        EXPECT_TRUE(showsMarker("b1", DarkRed));
    });
    atPause(18, [&] {
        EXPECT_TRUE(showsMarker("a5", LightBlue));
        EXPECT_TRUE(showsMarker("j5", DarkRed));
    });
    atPause(23, [&] {
        EXPECT_EQ(console.line(57), "          Gegner hat auf D1 geschossen und getroffen!");
        for (const char* ship : {"a1", "b1", "c1", "d1"}) {
            EXPECT_TRUE(showsMarker(ship, DarkRed)) << ship;
        }
        EXPECT_TRUE(showsMarker("a2", LightBlue));
    });
    for (std::size_t blink = 0; blink < 5; ++blink) {
        atPause(24 + 2 * blink, [&] {
            EXPECT_TRUE(console.shows({90, 0}, "GEGNERISCHES FELD", LightRed));
            EXPECT_TRUE(showsMarker("j5", DarkRed));
            for (const char* ship : {"i5", "h5", "g5"}) {
                EXPECT_TRUE(showsMarker(ship, Black)) << ship;
            }
            EXPECT_TRUE(showsMarker("b5", LightBlue));
        });
        atPause(25 + 2 * blink, [&] {
            EXPECT_TRUE(showsMarker("j5", DarkRed));
            for (const char* ship : {"i5", "h5", "g5"}) {
                EXPECT_TRUE(showsMarker(ship, LightCyan)) << ship;
            }
        });
    }
    atPause(34, [&] {
        EXPECT_TRUE(console.shows({11, 67}, " = feindliche Schiffe", BrightWhite));
        EXPECT_TRUE(showsMarker("g5", LightCyan));
    });
    atInput(7, [&] {
        EXPECT_TRUE(console.shows({58, 31}, LossBanner[0], DarkMagenta));
        EXPECT_TRUE(console.shows({58, 38}, LossBanner[7], DarkMagenta));
        EXPECT_TRUE(console.shows({65, 50}, "Drücken Sie eine beliebige Taste"_cp, LightRed));
    });

    playGame();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses, joined({{3000, 3000},
                                      repeated(ComputerShot, 4),
                                      {3000, 3000},
                                      ComputerShot,
                                      repeated({500, 1000}, 5),
                                      {1000}}));
    EXPECT_EQ(gameState.enemyShotCount, 5);
}

TEST_F(WholeGame, LossInCheatModeGoesStraightToTheBanner) {
    gameOptions.cheatMode = true;
    scriptLostGame();
    atInput(4, [&] {
        EXPECT_TRUE(showsMarker("j5", LightCyan));
        EXPECT_TRUE(console.shows({11, 67}, " = feindliche Schiffe", BrightWhite));
    });
    atInput(7, [&] {
        EXPECT_TRUE(console.shows({58, 31}, LossBanner[0], DarkMagenta));
        EXPECT_EQ(console.line(0), "");
    });

    playGame();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses,
              joined({{3000, 3000}, repeated(ComputerShot, 4), {3000, 3000}, ComputerShot}));
}

TEST_F(WholeGame, WordsTypedAheadAnswerTheFollowingPrompts) {
    useBoard(10, 5);
    typeLines({"a1 b1", "c1 d1 j5 i5 a3", "h5 g5"});
    pressKey("x");
    computerPicks({"j5", "i5", "h5", "g5", "e5"});
    atInput(1, [&] { EXPECT_TRUE(console.shows({48, 58}, "3. Schiffes", Yellow)); });
    atPause(1, [&] { EXPECT_TRUE(showsMarker("j5", DarkRed)); });
    atPause(3, [&] { EXPECT_TRUE(showsMarker("a3", LightBlue)); });
    atPause(7, [&] {
        EXPECT_EQ(console.line(57), "          Gegner hat auf E5 geschossen und NICHT getroffen!");
    });
    atInput(2, [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
        EXPECT_TRUE(showsMarker("i5", DarkRed));
        EXPECT_TRUE(showsMarker("a3", LightBlue));
    });
    atInput(3, [&] { EXPECT_TRUE(console.shows({52, 31}, WinBanner[0], LightGreen)); });

    playGame();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(gameState.playerShotCount, 5);
    EXPECT_EQ(gameState.playerHitCount, 4);
}

TEST_F(WholeGame, SecondGameOfARunStartsFromAClearedRecord) {
    useBoard(2, 2);
    for (int game = 0; game < 2; ++game) {
        typeLines({"a1", "b1", "a2", "b2", "a1", "b1", "a2", "b2"});
        pressKey("x");
    }
    atInput(9, [&] {
        EXPECT_TRUE(console.shows({94, 0}, "DEIN FELD", LightRed));
        EXPECT_TRUE(showsEmptyCell("a1"));
        EXPECT_EQ(console.line(66), "");
        EXPECT_TRUE(console.shows({48, 58}, "1. Schiffes", Yellow));
    });
    atInput(13, [&] {
        EXPECT_TRUE(showsEmptyCell("a1"));
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
    });

    playGame();
    resetGame();
    playGame();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses, std::vector<int>(10, 3000));
    EXPECT_EQ(console.unreadInput(), 0u);
}
