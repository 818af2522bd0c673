#include "game/battle.h"
#include "game_screen_test.h"

using Battle = GameScreenTest;

TEST_F(Battle, HitKeepsTurnWithoutClearingScreenAndRefusedWordsCostNothing) {
    gameOptions = {10, 5};
    gameState.enemyShips = {parseCoordinate("j5"), parseCoordinate("a1"), parseCoordinate("b1"),
                            parseCoordinate("c1")};
    // Overlong words: only their first two characters count.
    const std::string overlong(300, 'y');
    typeLines({"j5", "J5", overlong, "k1", "e3" + overlong});

    atInput[0] = [&] {
        EXPECT_TRUE(console.shows({90, 0}, "GEGNERISCHES FELD", LightRed));
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
        EXPECT_TRUE(
            console.shows({10, 58}, "Bitte wähle, wohin du schießen willst: "_cp, LightRed));
        EXPECT_EQ(console.screen().cursor, (ScreenPos{49, 58}));
        expectLegend({{LightBlue, " = Wasser-Treffer"}, {DarkRed, " = Schiff-Treffer"}});
    };
    atMessage("___  __   __  __  __  __  __", [&] { // TREFFER!
        EXPECT_TRUE(console.shows({10, 59}, R"( |  | \  |__ |   |   |__ | \ . )", LightRed));
        EXPECT_TRUE(showsCells({"j5"}, DarkRed));
        EXPECT_FALSE(console.screen().cursorVisible);
    });
    atInput[1] = [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
        EXPECT_TRUE(console.screen().cursorVisible);
        EXPECT_EQ(console.line(59), ""); // the banner's last line
    };
    atInput[2] = [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Dort haben Sie bereits hingeschossen!", LightRed));
        EXPECT_EQ(console.line(58), "          Wählen Sie eine andere Koordinaten:"_cp);
    };
    atInput[3] = [&] {
        EXPECT_EQ(console.line(57), "          Sie haben ungültige Koordinaten eingegeben!"_cp);
    };
    atInput[4] = [&] {
        EXPECT_EQ(console.line(57), "          So groß ist das Spielfeld nicht!"_cp);
    };
    atMessage(" __             __  __   __", [&] { // DANEBEN!
        EXPECT_TRUE(console.shows({10, 59}, R"(|__/ /--\ | \| |__ |__) |__ | \| .)", LightBlue));
        EXPECT_TRUE(showsCells({"e3"}, LightBlue));
    });

    playerTurn();

    EXPECT_EQ(gameState.playerShots[1], parseCoordinate("e3"));
    EXPECT_EQ(gameState.playerHitCount, 1);
}
