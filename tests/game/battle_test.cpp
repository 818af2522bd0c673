#include "game/battle.h"
#include "game_screen_test.h"

namespace {

class Battle : public GameScreenTest {
  protected:
    static std::array<ScreenPos, 4> cells(std::array<const char*, 4> names) {
        return {parseCoordinate(names[0]), parseCoordinate(names[1]), parseCoordinate(names[2]),
                parseCoordinate(names[3])};
    }
};

constexpr std::string_view ShotPrompt = "Bitte wähle, wohin du schießen willst: "_cp;

} // namespace

TEST_F(Battle, HitKeepsTurnWithoutClearingScreenAndRefusedWordsCostNothing) {
    useBoard(10, 5);
    gameState.enemyShips = cells({"j5", "a1", "b1", "c1"});
    // Long words echo past the prompt line; what spills over goes with the next message.
    const std::string longWord(300, 'y');
    typeLines({"j5", "J5", longWord, "k1", "a6", "e3" + longWord});

    atInput(0, [&] {
        EXPECT_TRUE(console.shows({90, 0}, "GEGNERISCHES FELD", LightRed));
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
        EXPECT_TRUE(console.shows({10, 58}, ShotPrompt, LightRed));
        EXPECT_EQ(console.screen().cursor, (ScreenPos{49, 58}));
        EXPECT_EQ(console.screen().color, LightGreen);
        EXPECT_TRUE(console.screen().cursorVisible);
    });
    atPause(0, [&] {
        EXPECT_EQ(console.line(57), "          ___  __   __  __  __  __  __");
        EXPECT_EQ(console.line(58), R"(           |  |__) |_  |_  |_  |_  |__)|)");
        EXPECT_TRUE(console.shows({10, 59}, R"( |  | \  |__ |   |   |__ | \ . )", LightRed));
        EXPECT_TRUE(showsMarker("j5", DarkRed));
        EXPECT_FALSE(console.screen().cursorVisible);
    });
    atInput(1, [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Feuer frei!", LightRed));
        EXPECT_EQ(console.line(58), "          " + std::string(ShotPrompt.substr(0, 38)));
        EXPECT_EQ(console.line(59), "");
        EXPECT_TRUE(showsMarker("j5", DarkRed));
    });
    atInput(2, [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Dort haben Sie bereits hingeschossen!", LightRed));
        EXPECT_EQ(console.line(58), "          Wählen Sie eine andere Koordinaten:"_cp);
        EXPECT_EQ(gameState.playerShots[1], (ScreenPos{}));
        EXPECT_TRUE(console.screen().cursorVisible);
    });
    atInput(3, [&] {
        EXPECT_EQ(console.line(57), "          Sie haben ungültige Koordinaten eingegeben!"_cp);
        EXPECT_EQ(console.line(59), "");
    });
    atInput(4,
            [&] { EXPECT_EQ(console.line(57), "          So groß ist das Spielfeld nicht!"_cp); });
    atPause(1, [&] {
        EXPECT_TRUE(console.shows({10, 57}, " __             __  __   __", LightBlue));
        EXPECT_TRUE(console.shows({10, 58}, R"(|  \  /\  |\ | |_  |__) |_  |\ | |)", LightBlue));
        EXPECT_TRUE(console.shows({10, 59}, R"(|__/ /--\ | \| |__ |__) |__ | \| .)", LightBlue));
        EXPECT_EQ(console.line(59), R"(          |__/ /--\ | \| |__ |__) |__ | \| .)");
        EXPECT_EQ(console.line(60), "");
        EXPECT_TRUE(showsMarker("e3", LightBlue));
        EXPECT_TRUE(showsMarker("j5", DarkRed));
    });

    playerTurn();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses, (std::vector<int>{3000, 3000}));
    EXPECT_EQ(gameState.playerShotCount, 2);
    EXPECT_EQ(gameState.playerShots[0], parseCoordinate("j5"));
    EXPECT_EQ(gameState.playerShots[1], parseCoordinate("e3"));
    EXPECT_EQ(gameState.playerHitCount, 1);
    EXPECT_EQ(gameState.playerHits[0], parseCoordinate("j5"));
}
