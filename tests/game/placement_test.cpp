#include "game/placement.h"
#include "game_screen_test.h"

using ShipPlacement = GameScreenTest;

TEST_F(ShipPlacement, EveryFaultIsAnsweredInPlaceWithoutUsingUpAShip) {
    gameOptions = {5, 4};
    // Empty Enters first: the prompt waits where it is, and nothing scrolls.
    typeLines({"\r\r\r\r\r\r\r\r\r\r\r\r\rz9", "f1", "a1", "A1", "b1", "c1", "d1"});
    computerPicks({"a1", "a1", "e4", "b2", "c3"});
    const auto expectFault = [&](std::string_view message) {
        EXPECT_TRUE(console.shows({10, 57}, message, LightRed));
        EXPECT_TRUE(console.shows({10, 58}, "Wählen Sie andere Koordinaten: "_cp, LightRed));
        EXPECT_EQ(console.screen().cursor, (ScreenPos{41, 58}));
    };
    const auto expectPrompt = [&](std::string_view ship) {
        EXPECT_EQ(console.line(57), "          Platziere deine Schiffe!");
        EXPECT_TRUE(console.shows({48, 58}, ship, Yellow));
    };

    atInput[0] = [&] {
        EXPECT_TRUE(console.shows({94, 0}, "DEIN FELD", LightRed));
        EXPECT_TRUE(console.shows({10, 57}, "Platziere deine Schiffe!", LightRed));
        EXPECT_TRUE(console.shows({10, 58}, "Bitte geben Sie die Koordinaten Ihres ", LightRed));
        EXPECT_TRUE(console.shows({48, 58}, "1. Schiffes", Yellow));
        EXPECT_TRUE(console.shows({59, 58}, " ein: ", LightRed));
        EXPECT_EQ(console.screen().cursor, (ScreenPos{65, 58}));
        EXPECT_TRUE(console.screen().cursorVisible);
        expectLegend({{Yellow, " = Deine Schiffe"}});
    };
    atInput[1] = [&] { expectFault("Sie haben ungültige Koordinaten eingegeben!"_cp); };
    atInput[2] = [&] { expectFault("So groß ist das Spielfeld nicht!"_cp); };
    atInput[3] = [&] {
        expectPrompt("2. Schiffes");
        EXPECT_TRUE(showsCells({"a1"}, Yellow));
    };
    atInput[4] = [&] {
        expectFault("Auf den angegebenen Korrdinaten ist bereits ein Schiff platziert!");
    };
    atInput[5] = [&] { expectPrompt("3. Schiffes"); };
    atInput[6] = [&] { EXPECT_EQ(console.textAt({65, 58}, 2), "  ") << "c1 still stands"; };
    atMessage("Platziere deine Schiffe!", [&] {
        expectPrompt("4. Schiffes");
        EXPECT_TRUE(console.shows({65, 58}, "d1", LightGreen)); // as the last read left it
        EXPECT_TRUE(showsCells({"a1", "b1", "c1", "d1"}, Yellow));
        EXPECT_TRUE(showsCells({"e4"}, Empty));
    });

    setCursorVisible(false); // as the end of a game leaves it
    placeShips();

    EXPECT_EQ(console.pauses, std::vector<int>{3000});
    const auto at = [](auto... names) { return std::array{parseCoordinate(names)...}; };
    EXPECT_EQ(gameState.playerShips, at("a1", "b1", "c1", "d1"));
    // The second a1 is drawn again: the computer's ships are four distinct cells.
    EXPECT_EQ(gameState.enemyShips, at("a1", "e4", "b2", "c3"));
}
