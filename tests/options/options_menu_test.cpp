#include "console/virtual_console.h"
#include "options/game_options.h"
#include "options/options_banner.h"
#include "options/options_menu.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class OptionsMenu : public ::testing::Test {
  protected:
    OptionsMenu() { gameOptions = GameOptions{}; }
    ~OptionsMenu() override { gameOptions = GameOptions{}; }

    // Types keys and lines as given, then leaves the menu with Escape.
    void run(std::initializer_list<std::string_view> input) {
        for (const std::string_view bytes : input) {
            console.type(bytes);
        }
        console.pressEscape();
        runOptionsMenu();
    }

    VirtualConsole console;
};

TEST_F(OptionsMenu, DrawsEveryItemInItsPlaceWithTheRecordsValues) {
    gameOptions = {5, 3, true, false};
    run({});
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(console.shows({54, 5 + i}, OptionsBanner[std::size_t(i)], LightGreen));
    }
    struct Item {
        int x, y;
        std::string_view text;
        std::uint8_t color;
    };
    for (const auto& [x, y, text, color] :
         {Item{78, 35, "Allgemein", DarkRed}, Item{78, 39, "Spielfeldgröße"_cp, DarkRed},
          Item{80, 36, "[x] Cheat Mode:         An", DarkGreen},
          Item{80, 37, "[ ] Optionen speichern: Aus", DarkGreen},
          Item{80, 40, "[ ] Anzahl der Spalten: 5", DarkGreen},
          Item{80, 41, "[ ] Anzahl der Zeilen:  3", DarkGreen},
          Item{74, 65, "Drücken Sie ESC um zum Hauptmenü zurückzukehren..."_cp, LightRed}}) {
        EXPECT_EQ(console.textAt({x, y}, int(text.size())), text);
        EXPECT_EQ(console.colorAt({x, y}), color) << text;
        EXPECT_EQ(console.colorAt({x + int(text.size()) - 1, y}), color) << text;
    }
    EXPECT_FALSE(console.screen().cursorVisible);
    EXPECT_EQ(console.screen().color, DarkGreen);
}

TEST_F(OptionsMenu, MarkSkipsTheHeadingStopsAtBothEndsAndIgnoresOtherKeys) {
    std::vector<int> marks; // the line whose bracket holds the mark; -1 unless exactly one
    console.onKeyWait = [&] {
        int marked = -1;
        for (const int y : {36, 37, 40, 41}) {
            marked = console.textAt({81, y}, 1) != "x" ? marked : marked == -1 ? y : -2;
        }
        marks.push_back(std::max(marked, -1));
    };
    const std::string up(keys::Up), down(keys::Down);
    // H and P are the arrows' second codes, \eOP is F1: none of them moves the mark.
    run({up + down + down + down + down + up + up, "HPa\x1b[D\x1b[C\x1bOP", up + up});
    EXPECT_EQ(marks,
              (std::vector<int>{36, 36, 37, 40, 41, 41, 40, 37, 37, 37, 37, 37, 37, 37, 36, 36}));
}

TEST_F(OptionsMenu, SwitchChangesOnlyWithEnterAndEscapeShowsTheStoredValueAgain) {
    std::vector<std::string> seen; // value and mark colour at each key
    console.onKeyWait = [&] {
        seen.push_back(console.textAt({104, 36}, 3) + std::to_string(console.colorAt({81, 36})));
    };
    const std::string up(keys::Up), down(keys::Down), enter(keys::Enter);
    console.type(enter + down + up + enter); // toggled twice: kept
    console.type(enter + up);                // toggled once: dropped
    console.pressEscape();
    run({down + enter + down + enter}); // saving on
    EXPECT_EQ(seen, (std::vector<std::string>{"Aus2", "Aus12", "An 12", "Aus12", "Aus2", "Aus12",
                                              "An 12", "Aus2", "Aus2", "Aus2", "Aus2", "Aus2"}));
    EXPECT_EQ(gameOptions, (GameOptions{17, 8, false, true}));
    EXPECT_EQ(console.textAt({80, 37}, 27), "[x] Optionen speichern: An ");
    EXPECT_EQ(console.colorAt({104, 37}), DarkGreen);
}

TEST_F(OptionsMenu, NumbersOutOfRangeGetTheRangeMessageUntilAValuePasses) {
    struct Field {
        std::string downs;
        std::string_view message, label, below;
        int y;
    };
    const std::string down(keys::Down);
    for (const auto& [downs, message, label, below, y] :
         {Field{down + down, "Geben Sie maximal 17 und minimal 1 ein: ", "Anzahl der Spalten: ",
                "[ ] Anzahl der Zeilen:  8", 40},
          Field{down + down + down,
                "Geben Sie maximal 8 und minimal 1 ein: ", "Anzahl der Zeilen:  ", "", 41}}) {
        int rejections = 0;
        bool cursorShown = true;
        console.onKeyWait = [&] {
            const ScreenPos cursor = console.screen().cursor;
            cursorShown =
                cursorShown && (cursor.y != y || cursor.x < 104 || console.screen().cursorVisible);
            // Each new try starts right behind the message, in light red, on a line that
            // shows nothing of the tries before.
            rejections += cursor == ScreenPos{84 + int(message.size()), y} &&
                          console.shows({84, y}, message, LightRed) &&
                          console.line(y).size() == 83 + message.size();
        };
        // An empty line first; then out of range, no number, beyond 32 bits and longer than
        // the line: each one refused.
        run({downs, "\r\r0\r18\rabc\r" + std::string(200, '9') + "\r-4\r8\r"});
        EXPECT_EQ(rejections, 5);
        EXPECT_TRUE(cursorShown);
        EXPECT_FALSE(console.screen().cursorVisible);
        EXPECT_TRUE(
            console.shows({84, y}, std::string(label) + "8" + std::string(28, ' '), DarkGreen));
        EXPECT_EQ(console.line(y).substr(80, 5), "[x] A");
        EXPECT_EQ(console.colorAt({81, y}), DarkGreen);
        EXPECT_EQ(console.line(y + 1),
                  below.empty() ? "" : std::string(80, ' ') + std::string(below));
    }
}

TEST_F(OptionsMenu, TooSmallABoardAsksForTheSmallestValueThatPasses) {
    struct Case {
        GameOptions before;
        int y;
        std::string_view typed, message;
        GameOptions after;
    };
    // The longer range message comes first: nothing of it may stay.
    for (const auto& [before, y, typed, message, after] :
         {Case{{17, 1}, 40, "99\r3\r4\r", "Geben Sie mindestens 4 ein: ", {4, 1}},
          Case{{17, 3}, 40, "99\r1\r2\r", "Geben Sie mindestens 2 ein: ", {2, 3}},
          Case{{2, 8}, 41, "99\r1\r2\r", "Geben Sie mindestens 2 ein: ", {2, 2}}}) {
        gameOptions = before;
        std::string seen;
        console.onKeyWait = [&, y = y] {
            if (console.screen().cursor == ScreenPos{112, y}) {
                seen = console.textAt({84, y}, ConsoleWidth - 84);
            }
        };
        const std::string down(keys::Down);
        run({down + down + (y == 41 ? down : "") + "\r", typed});
        EXPECT_EQ(seen, std::string(message) + std::string(ConsoleWidth - 84 - 28, ' '));
        EXPECT_EQ(console.colorAt({84, y}), DarkGreen);
        EXPECT_EQ(gameOptions, after) << message;
    }
}

TEST_F(OptionsMenu, TypedNumberEchoesInLightRedAndLeavesNothingBesideTheValue) {
    bool echoRed = false;
    console.onKeyWait = [&] {
        echoRed = echoRed ||
                  (console.textAt({104, 40}, 2) == "00" && console.colorAt({105, 40}) == LightRed);
    };
    // The 7 after "5 " does not wait for the next entry.
    const std::string down(keys::Down);
    run({down + down + "\r007\r", "\r5 7\r", down + "\r4\r"});
    EXPECT_TRUE(echoRed);
    EXPECT_EQ(gameOptions, (GameOptions{5, 4, false, false}));
    EXPECT_EQ(console.line(40).substr(80), "[ ] Anzahl der Spalten: 5");
}

} // namespace
