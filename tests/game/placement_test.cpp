#include "game/placement.h"
#include "game_screen_test.h"

namespace {

using ShipPlacement = GameScreenTest;

constexpr std::string_view PlacementHeading = "          Platziere deine Schiffe!";
constexpr std::string_view OtherCoordinates = "          Wählen Sie andere Koordinaten:"_cp;

} // namespace

TEST_F(ShipPlacement, EveryFaultIsAnsweredInPlaceWithoutUsingUpAShip) {
    useBoard(5, 4);
    typeLines({"z9", "f1", "a1", "A1", "b1", "c1", "d1"});
    computerPicks({"a1", "a1", "e4", "b2", "c3"});

    atInput(0, [&] {
        EXPECT_TRUE(console.shows({10, 57}, "Platziere deine Schiffe!", LightRed));
        EXPECT_TRUE(console.shows({10, 58}, "Bitte geben Sie die Koordinaten Ihres ", LightRed));
        EXPECT_TRUE(console.shows({48, 58}, "1. Schiffes", Yellow));
        EXPECT_TRUE(console.shows({59, 58}, " ein: ", LightRed));
        EXPECT_EQ(console.screen().cursor, (ScreenPos{65, 58}));
        EXPECT_EQ(console.screen().color, LightGreen);
        EXPECT_TRUE(console.screen().cursorVisible);
        EXPECT_EQ(console.line(65), "          X = Deine Schiffe");
        EXPECT_EQ(console.line(66), "");
        EXPECT_TRUE(showsEmptyCell("a1"));
    });
    atInput(1, [&] {
        EXPECT_TRUE(
            console.shows({10, 57}, "Sie haben ungültige Koordinaten eingegeben!"_cp, LightRed));
        EXPECT_EQ(console.line(58), OtherCoordinates);
        EXPECT_TRUE(console.shows({10, 58}, OtherCoordinates.substr(10), LightRed));
        EXPECT_EQ(console.screen().cursor, (ScreenPos{41, 58}));
        EXPECT_EQ(console.screen().color, LightGreen);
    });
    atInput(2, [&] {
        EXPECT_EQ(console.line(57), "          So groß ist das Spielfeld nicht!"_cp);
        EXPECT_EQ(console.line(58), OtherCoordinates);
    });
    atInput(3, [&] {
        EXPECT_EQ(console.line(57), PlacementHeading);
        EXPECT_TRUE(console.shows({48, 58}, "2", Yellow));
        EXPECT_TRUE(showsMarker("a1", Yellow));
    });
    atInput(4, [&] {
        EXPECT_EQ(console.line(57), "          Auf den angegebenen Korrdinaten ist bereits ein "
                                    "Schiff platziert!");
        EXPECT_EQ(console.line(58), OtherCoordinates);
    });
    atInput(5, [&] {
        EXPECT_EQ(console.line(57), PlacementHeading);
        EXPECT_TRUE(console.shows({48, 58}, "3", Yellow));
    });
    atPause(0, [&] {
        for (const char* ship : {"a1", "b1", "c1", "d1"}) {
            EXPECT_TRUE(showsMarker(ship, Yellow)) << ship;
        }
        EXPECT_TRUE(showsEmptyCell("e4"));
        EXPECT_TRUE(console.shows({48, 58}, "4. Schiffes", Yellow));
        EXPECT_TRUE(console.shows({65, 58}, "d1", LightGreen));
    });

    placeShips();

    EXPECT_TRUE(allChecksRan());
    EXPECT_EQ(console.pauses, std::vector<int>{3000});
    const std::array<ScreenPos, 4> playerShips = {parseCoordinate("a1"), parseCoordinate("b1"),
                                                  parseCoordinate("c1"), parseCoordinate("d1")};
    EXPECT_EQ(gameState.playerShips, playerShips);
    const std::array<ScreenPos, 4> enemyShips = {parseCoordinate("a1"), parseCoordinate("e4"),
                                                 parseCoordinate("b2"), parseCoordinate("c3")};
    EXPECT_EQ(gameState.enemyShips, enemyShips);
    EXPECT_EQ(gameState.boardDrawCount, 1);
}

TEST_F(ShipPlacement, LongWordIsJudgedByItsFirstTwoCharacters) {
    typeLines({std::string(300, 'x'), "b7" + std::string(40, 'z'), "c3", "d4", "e5"});
    placeShips();
    EXPECT_EQ(gameState.playerShips[0], parseCoordinate("b7"));
    EXPECT_EQ(gameState.playerShips[3], parseCoordinate("e5"));
}

TEST_F(ShipPlacement, EndOfInputAtThePromptEndsTheProgramQuietly) {
    EXPECT_EXIT(
        {
            typeLines({"a1", "z9"});
            placeShips();
        },
        ::testing::ExitedWithCode(0), "");
}
