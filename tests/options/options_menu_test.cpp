#include "options/game_options.h"
#include "options/options_banner.h"
#include "options/options_menu.h"
#include "support/virtual_console.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

class OptionsMenu : public ::testing::Test {
  protected:
    ~OptionsMenu() override { gameOptions = GameOptions{}; }

    // Types the keys and lines given, then leaves the menu with Escape.
    void run(std::string_view input) {
        console.type(input);
        console.pressEscape();
        runOptionsMenu();
    }

    VirtualConsole console;
};

TEST_F(OptionsMenu, DrawsEveryItemInItsPlaceWithTheRecordsValues) {
    gameOptions = {5, 3, true, false};
    run("");
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(console.shows({54, 5 + i}, OptionsBanner[std::size_t(i)], LightGreen));
    }
    const std::tuple<int, std::string_view, std::string_view> entries[] = {
        {36, "[x] Cheat Mode:", "An"},
        {37, "[ ] Optionen speichern:", "Aus"},
        {40, "[ ] Anzahl der Spalten:", "5"},
        {41, "[ ] Anzahl der Zeilen:", "3"}};
    for (const auto& [y, label, value] : entries) {
        EXPECT_TRUE(console.shows({80, y}, label, DarkGreen) &&
                    console.shows({104, y}, value, DarkGreen))
            << label;
    }
    EXPECT_TRUE(console.shows({78, 35}, "Allgemein", DarkRed) &&
                console.shows({78, 39}, "Spielfeldgröße"_cp, DarkRed));
    EXPECT_TRUE(
        console.shows({74, 65}, "Drücken Sie ESC um zum Hauptmenü zurückzukehren..."_cp, LightRed));
    EXPECT_FALSE(console.screen().cursorVisible);
}

TEST_F(OptionsMenu, MarkSkipsTheHeadingStopsAtBothEndsAndIgnoresOtherKeys) {
    std::string marks; // at each key, what the brackets of the four entries hold
    console.onKeyWait = [&] {
        for (const int y : {36, 37, 40, 41}) {
            marks += console.textAt({81, y}, 1);
        }
        marks += '|';
    };
    const std::string up(keys::Up), down(keys::Down);
    // H and P are the arrows' second codes, \eOP is F1: none of them moves the mark.
    run(up + down + down + down + down + up + up + "HPa\x1b[D\x1b[C\x1bOP" + up + up);
    EXPECT_EQ(marks,
              "x   |x   | x  |  x |   x|   x|  x | x  | x  | x  | x  | x  | x  | x  |x   |x   |");
}

TEST_F(OptionsMenu, SwitchChangesOnlyWithEnterAndEscapeShowsTheStoredValueAgain) {
    using Seen = std::tuple<std::string, int, int>; // the value, its colour, the mark's colour
    std::vector<Seen> seen;                         // at each key
    console.onKeyWait = [&] {
        seen.emplace_back(console.textAt({104, 36}, 3), console.colorAt({104, 36}),
                          console.colorAt({81, 36}));
    };
    const std::string up(keys::Up), down(keys::Down), enter(keys::Enter);
    console.type(enter + down + up + enter); // toggled twice: kept
    console.type(enter + up);                // toggled once: dropped
    console.pressEscape();
    run(down + enter + down + enter); // saving on
    const Seen off{"Aus", DarkGreen, DarkGreen}, editedOff{"Aus", DarkGreen, LightRed},
        editedOn{"An ", DarkGreen, LightRed};
    EXPECT_EQ(seen, (std::vector{off, editedOff, editedOn, editedOff, off, editedOff, editedOn, off,
                                 off, off, off, off}));
    EXPECT_EQ(gameOptions, (GameOptions{17, 8, false, true}));
}

// Each case types into one number field. Every rejection puts the shown cursor right behind
// its message, in light red, on a line that holds nothing else; the value that passes ends the
// entry with the label back in green, the cursor hidden and nothing beside the value.
TEST_F(OptionsMenu, ANumberIsAskedForUntilItFitsTheRangeAndTheBoard) {
    const std::string_view columns = "Geben Sie maximal 17 und minimal 1 ein: ";
    // The options before, the field's line, what is typed, the message of a rejection, how
    // many there are, and the options after.
    const std::tuple<GameOptions, int, std::string, std::string_view, int, GameOptions> cases[] = {
        // An empty line first; then out of range, no number, beyond 32 bits and longer than
        // the line.
        {{}, 40, "\r\r0\r18\rabc\r" + std::string(200, '9') + "\r-4\r8\r", columns, 5, {8, 8}},
        {{}, 41, "9\r0\r3\r", "Geben Sie maximal 8 und minimal 1 ein: ", 2, {17, 3}},
        // The longer range message comes first: nothing of it may stay.
        {{17, 1}, 40, "99\r3\r4\r", "Geben Sie mindestens 4 ein: ", 1, {4, 1}},
        {{2, 8}, 41, "1\r2\r", "Geben Sie mindestens 2 ein: ", 1, {2, 2}},
        // What is typed beyond the value is neither kept nor shown.
        {{}, 40, "007 9\r", "", 0, {7, 8}},
    };
    for (const auto& [before, y, typed, message, rejections, after] : cases) {
        gameOptions = before;
        int seen = 0;
        console.onKeyWait = [&, y = y, message = message] {
            seen += console.screen().cursor == ScreenPos{84 + int(message.size()), y} &&
                    console.screen().cursorVisible && console.shows({84, y}, message, LightRed) &&
                    console.line(y).size() == 83 + message.size();
        };
        const std::string down(keys::Down);
        run(down + down + (y == 41 ? down : "") + "\r" + typed);
        EXPECT_EQ(seen, rejections) << typed;
        EXPECT_EQ(gameOptions, after);
        const std::string value = y == 40 ? "Spalten: " + std::to_string(after.columns)
                                          : "Zeilen:  " + std::to_string(after.rows);
        EXPECT_EQ(console.line(y), std::string(80, ' ') + "[x] Anzahl der " + value);
        EXPECT_EQ(console.colorAt({84, y}), DarkGreen);
        EXPECT_EQ(console.colorAt({104, y}), DarkGreen);
    }
    EXPECT_FALSE(console.screen().cursorVisible);
}

} // namespace
