#include "game/game_over_banners.h"
#include "game/play_game.h"
#include "game_screen_test.h"

namespace {

class WholeGame : public GameScreenTest {
  protected:
    // On 10 x 5 the player misses a5, the computer hits a1, b1, c1 and misses a2 (after
    // drawing b1 a second time), the player hits j5 and misses b5, the computer misses a3,
    // the player misses c5, and the computer's hit on d1 wins: 29 pauses up to the end of the
    // battle, 11 more for the reveal.
    void scriptLostGame() {
        gameOptions = {10, 5};
        typeLines({"a1", "b1", "c1", "d1", "a5", "j5", "b5", "c5"});
        pressKeyAtGameOver("x");
        computerPicks({"j5", "i5", "h5", "g5", "a1", "b1", "c1", "b1", "a2", "a3", "d1"});
        atInput[8] = [&] {
            for (std::size_t i = 0; i < LossBanner.size(); ++i) {
                EXPECT_TRUE(console.shows({58, 31 + int(i)}, LossBanner[i], DarkMagenta)) << i;
            }
            EXPECT_TRUE(console.shows({65, 50}, "Drücken Sie eine beliebige Taste"_cp, LightRed));
        };
    }
};

} // namespace

TEST_F(WholeGame, LossRevealsTheShipsThePlayerDidNotFind) {
    scriptLostGame();
    atInput[5] = [&] { EXPECT_TRUE(showsCells({"j5"}, Empty)); };
    atMessage("Gegner am Zug", [&] {
        EXPECT_TRUE(showsCells({"a1"}, Yellow));
        expectLegend({{Yellow, " = Deine Schiffe"},
                      {LightBlue, " = feindliche Wasser-Treffer"},
                      {DarkRed, " = feindliche Schiff-Treffer"}});
    });
    atMessage("Gegner am Zug..", [&] { EXPECT_EQ(pauseLength, 500); });
    atMessage("Gegner hat auf A1 geschossen und getroffen!", [&] {
        EXPECT_EQ(pauseLength, 3000);
        EXPECT_TRUE(showsCells({"a1"}, DarkRed));
    });
    // The next shot of the same turn: not in the colour of the hit before.
    atMessage("Gegner am Zug", 2, [&] { EXPECT_EQ(console.colorAt({10, 57}), LightRed); });
    atMessage("Gegner hat auf A2 geschossen und NICHT getroffen!", [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Gegner hat", LightRed));
        EXPECT_TRUE(showsCells({"a2"}, LightBlue));
    });
    // Each board drawn anew shows the hits and misses of the turns before.
    atInput[7] = [&] {
        EXPECT_TRUE(showsCells({"j5"}, DarkRed));
        EXPECT_TRUE(showsCells({"a5", "b5"}, LightBlue));
    };
    atMessage("Gegner hat auf D1 geschossen und getroffen!", [&] {
        EXPECT_TRUE(showsCells({"a1", "b1", "c1", "d1"}, DarkRed));
        EXPECT_TRUE(showsCells({"a2", "a3"}, LightBlue));
    });
    // The reveal: five blinks of the ships not found, half a second dark and a second light,
    // and a second more; the ship already hit stays dark red.
    std::vector<int> reveal;
    onPause = [&](int milliseconds) {
        if (milliseconds == 3000 || !console.shows({90, 0}, "GEGNERISCHES FELD", LightRed)) {
            return;
        }
        reveal.push_back(milliseconds);
        EXPECT_TRUE(showsCells({"i5", "h5", "g5"}, milliseconds == 500 ? Black : LightCyan));
        EXPECT_TRUE(showsCells({"j5"}, DarkRed));
        EXPECT_TRUE(showsCells({"a5", "b5", "c5"}, LightBlue));
        EXPECT_TRUE(showsCells({"a1"}, Empty)); // the player's board is gone
        expectLegend({{LightBlue, " = Wasser-Treffer"},
                      {DarkRed, " = Schiff-Treffer"},
                      {LightCyan, " = feindliche Schiffe"}});
    };

    playGame();

    EXPECT_EQ(reveal, (std::vector{500, 1000, 500, 1000, 500, 1000, 500, 1000, 500, 1000, 1000}));
    EXPECT_EQ(console.pauses.size(), 40u);
}

TEST_F(WholeGame, LossInCheatModeGoesStraightToTheBanner) {
    scriptLostGame();
    gameOptions.cheatMode = true;
    atInput[4] = [&] {
        EXPECT_TRUE(showsCells({"j5"}, LightCyan));
        expectLegend({{LightBlue, " = Wasser-Treffer"},
                      {DarkRed, " = Schiff-Treffer"},
                      {LightCyan, " = feindliche Schiffe"}});
    };

    playGame();

    EXPECT_EQ(console.pauses.size(), 29u);
}

TEST_F(WholeGame, FourHitsOnAFourCellBoardWinAndWordsTypedAheadServeOnlyTheGame) {
    gameOptions = {2, 2};
    // Typed ahead of the winning shot's end: a word and a key; neither dismisses the banner
    // unseen.
    typeLines({"a1 b1", "a2", "b2 b2 a1", "b1", "a2 b2\rq"});
    pressKeyAtGameOver("x");
    atInput[1] = [&] { EXPECT_TRUE(console.shows({48, 58}, "3. Schiffes", Yellow)); };
    atInput[5] = [&] {
        for (std::size_t i = 0; i < WinBanner.size(); ++i) {
            EXPECT_TRUE(console.shows({52, 31 + int(i)}, WinBanner[i], LightGreen)) << i;
        }
        EXPECT_TRUE(console.shows({65, 50}, "Drücken Sie eine beliebige Taste"_cp, LightRed));
        EXPECT_EQ(console.line(0), "");
    };

    playGame();

    // Placement and four hits: the computer never fires.
    EXPECT_EQ(console.pauses, std::vector<int>(5, 3000));
}
