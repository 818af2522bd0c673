#include "game/game_over_banners.h"
#include "game/play_game.h"
#include "game_screen_test.h"

namespace {

class WholeGame : public GameScreenTest {
  protected:
    // On 10 x 5 the player misses a5, the computer hits a1, b1, c1 and misses a2 (after
    // drawing b1 a second time), the player hits j5 and misses b5, and the computer's hit on
    // d1 wins: 24 pauses up to the end of the battle.
    void scriptLostGame() {
        useBoard(10, 5);
        typeLines({"a1", "b1", "c1", "d1", "a5", "j5", "b5"});
        pressKeyAtGameOver("x");
        computerPicks({"j5", "i5", "h5", "g5", "a1", "b1", "c1", "b1", "a2", "d1"});
        atInput[7] = [&] {
            EXPECT_TRUE(console.shows({58, 31}, LossBanner[0], DarkMagenta));
            EXPECT_TRUE(console.shows({58, 38}, LossBanner[7], DarkMagenta));
            EXPECT_TRUE(console.shows({65, 50}, "Drücken Sie eine beliebige Taste"_cp, LightRed));
        };
    }
};

} // namespace

TEST_F(WholeGame, LossRevealsTheShipsThePlayerDidNotFind) {
    scriptLostGame();
    atInput[5] = [&] { EXPECT_TRUE(showsCells({"j5"}, Empty)); };
    atPause[2] = [&] {
        EXPECT_EQ(console.line(57), "          Gegner am Zug");
        EXPECT_TRUE(showsCells({"a1"}, Yellow));
        expectLegend({{Yellow, " = Deine Schiffe"},
                      {LightBlue, " = feindliche Wasser-Treffer"},
                      {DarkRed, " = feindliche Schiff-Treffer"}});
    };
    atPause[5] = [&] {
        EXPECT_EQ(console.line(57), "          Gegner hat auf A1 geschossen und getroffen!");
        EXPECT_TRUE(showsCells({"a1"}, DarkRed));
    };
    atPause[4] = [&] { EXPECT_EQ(console.line(57), "          Gegner am Zug.."); };
    atPause[6] = [&] { EXPECT_EQ(console.line(57), "          Gegner am Zug"); };
    atPause[17] = [&] {
        EXPECT_TRUE(
            console.shows({10, 57}, "Gegner hat auf A2 geschossen und NICHT getroffen!", LightRed));
        EXPECT_TRUE(showsCells({"a2"}, LightBlue));
    };
    atPause[23] = [&] {
        EXPECT_TRUE(showsCells({"a1", "b1", "c1", "d1"}, DarkRed));
        EXPECT_TRUE(showsCells({"a2"}, LightBlue));
    };
    // Five blinks, half a second dark and a second light; the ship already hit stays dark red.
    for (std::size_t pause = 24; pause < 34; ++pause) {
        atPause[pause] = [&, unhit = pause % 2 == 0 ? Black : LightCyan] {
            EXPECT_TRUE(showsCells({"i5", "h5", "g5"}, unhit));
            EXPECT_TRUE(showsCells({"j5"}, DarkRed));
            EXPECT_TRUE(console.shows({10, 67}, "X", LightCyan));
        };
    }

    playGame();

    ASSERT_EQ(console.pauses.size(), 35u);
    EXPECT_EQ(std::vector(console.pauses.begin() + 2, console.pauses.begin() + 6),
              (std::vector{500, 500, 500, 3000}));
    EXPECT_EQ(std::vector(console.pauses.begin() + 24, console.pauses.end()),
              (std::vector{500, 1000, 500, 1000, 500, 1000, 500, 1000, 500, 1000, 1000}));
    EXPECT_EQ(gameState.enemyShotCount, 5);
    resetGame();
    EXPECT_EQ(gameState, GameState{});
}

TEST_F(WholeGame, LossInCheatModeGoesStraightToTheBanner) {
    gameOptions.cheatMode = true;
    scriptLostGame();
    atInput[4] = [&] {
        EXPECT_TRUE(showsCells({"j5"}, LightCyan));
        expectLegend({{LightBlue, " = Wasser-Treffer"},
                      {DarkRed, " = Schiff-Treffer"},
                      {LightCyan, " = feindliche Schiffe"}});
    };

    playGame();

    EXPECT_EQ(console.pauses.size(), 24u);
}

TEST_F(WholeGame, WordsTypedAheadAnswerTheFollowingPrompts) {
    useBoard(10, 5);
    typeLines({"a1 b1", "c1 d1 j5 i5 a3", "h5 g5"});
    pressKeyAtGameOver("x");
    computerPicks({"j5", "i5", "h5", "g5", "e5"});
    atInput[1] = [&] { EXPECT_TRUE(console.shows({48, 58}, "3. Schiffes", Yellow)); };
    atInput[2] = [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
        EXPECT_TRUE(showsCells({"j5", "i5"}, DarkRed));
        EXPECT_TRUE(showsCells({"a3"}, LightBlue));
    };
    atInput[3] = [&] { EXPECT_TRUE(console.shows({52, 31}, WinBanner[0], LightGreen)); };

    playGame();

    EXPECT_EQ(gameState.playerShotCount, 5);
    EXPECT_EQ(gameState.playerHitCount, 4);
}

TEST_F(WholeGame, FourHitsOnAFourCellBoardWinAndTheNextGameStartsFromAClearedRecord) {
    useBoard(2, 2);
    for (int game = 0; game < 2; ++game) {
        // Typed ahead of the winning shot's end: a word and a key. Neither dismisses the
        // banner unseen, nor places a ship of the next game.
        typeLines({"a1", "b1", "a2", "b2", "b2", "a1", "b1", "a2 b2\rq"});
        pressKeyAtGameOver("x");
    }
    atInput[8] = [&] {
        EXPECT_TRUE(console.shows({52, 31}, WinBanner[0], LightGreen));
        EXPECT_TRUE(console.shows({52, 38}, WinBanner[7], LightGreen));
        EXPECT_TRUE(console.shows({65, 50}, "Drücken Sie eine beliebige Taste"_cp, LightRed));
        EXPECT_EQ(console.line(0), "");
    };
    atInput[9] = [&] {
        EXPECT_TRUE(console.screen().cursorVisible);
        EXPECT_TRUE(showsCells({"a1"}, Empty));
        EXPECT_TRUE(console.shows({48, 58}, "1. Schiffes", Yellow));
        expectLegend({{Yellow, " = Deine Schiffe"}});
    };
    atInput[13] = [&] { EXPECT_TRUE(showsCells({"a1"}, Empty)); };

    playGame();
    EXPECT_EQ(gameState.enemyShotCount, 0);
    resetGame();
    playGame();

    // Placement and four hits in each game: the computer never fires.
    EXPECT_EQ(console.pauses, std::vector<int>(10, 3000));
    EXPECT_EQ(console.unreadInput(), 0u);
}
