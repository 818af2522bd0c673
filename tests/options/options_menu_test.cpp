#include "console/virtual_console.h"
#include "options/game_options.h"
#include "options/options_banner.h"
#include "options/options_menu.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class OptionsMenu : public ::testing::Test {
  protected:
    OptionsMenu() { gameOptions = GameOptions{}; }
    ~OptionsMenu() override { gameOptions = GameOptions{}; }

    void keys(std::initializer_list<std::string_view> sequence) {
        for (const std::string_view key : sequence) {
            console.type(key);
        }
    }

    // Runs the menu on the scripted input and leaves it with Escape.
    void run() {
        console.pressEscape();
        runOptionsMenu();
    }

    // The line whose bracket holds the mark; -1 unless exactly one does.
    int markedLine() const {
        std::vector<int> marked;
        for (const int y : {36, 37, 40, 41}) {
            if (console.textAt({81, y}, 1) == "x") {
                marked.push_back(y);
            }
        }
        return marked.size() == 1 ? marked[0] : -1;
    }

    VirtualConsole console;
};

TEST_F(OptionsMenu, DrawsEveryItemInItsPlaceWithTheRecordsValues) {
    gameOptions = {5, 3, true, false};
    run();
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(console.shows({54, 5 + i}, OptionsBanner[std::size_t(i)], LightGreen));
    }
    struct Item {
        ScreenPos pos;
        std::string_view text;
        std::uint8_t color;
    };
    for (const Item& item :
         {Item{{78, 35}, "Allgemein", DarkRed}, Item{{78, 39}, "Spielfeldgröße"_cp, DarkRed},
          Item{{80, 36}, "[x] Cheat Mode:         An", DarkGreen},
          Item{{80, 37}, "[ ] Optionen speichern: Aus", DarkGreen},
          Item{{80, 40}, "[ ] Anzahl der Spalten: 5", DarkGreen},
          Item{{80, 41}, "[ ] Anzahl der Zeilen:  3", DarkGreen},
          Item{{74, 65}, "Drücken Sie ESC um zum Hauptmenü zurückzukehren..."_cp, LightRed}}) {
        const int last = item.pos.x + int(item.text.size()) - 1;
        EXPECT_EQ(console.textAt(item.pos, int(item.text.size())), item.text);
        EXPECT_EQ(console.colorAt(item.pos), item.color) << item.text;
        EXPECT_EQ(console.colorAt({last, item.pos.y}), item.color) << item.text;
    }
    EXPECT_FALSE(console.screen().cursorVisible);
    EXPECT_EQ(console.screen().color, DarkGreen);
}

TEST_F(OptionsMenu, MarkSkipsTheHeadingStopsAtBothEndsAndIgnoresOtherKeys) {
    std::vector<int> marks;
    console.onKeyWait = [&] { marks.push_back(markedLine()); };
    keys({keys::Up, keys::Down, keys::Down, keys::Down, keys::Down, keys::Up, keys::Up});
    // H and P are the arrows' second codes, \eOP is F1: none of them moves the mark.
    keys({"H", "P", "a", keys::Left, keys::Right, "\x1bOP", keys::Up, keys::Up});
    run();
    EXPECT_EQ(marks,
              (std::vector<int>{36, 36, 37, 40, 41, 41, 40, 37, 37, 37, 37, 37, 37, 37, 36, 36}));
}

TEST_F(OptionsMenu, SwitchChangesOnlyWithEnterAndEscapeShowsTheStoredValueAgain) {
    std::vector<std::string> seen; // value and mark colour at each key
    console.onKeyWait = [&] {
        seen.push_back(console.textAt({104, 36}, 3) + std::to_string(console.colorAt({81, 36})));
    };
    keys({keys::Enter, keys::Down, keys::Up, keys::Enter}); // toggled twice: kept
    keys({keys::Enter, keys::Up});                          // toggled once: dropped
    console.pressEscape();
    keys({keys::Down, keys::Enter, keys::Down, keys::Enter}); // saving on
    run();
    EXPECT_EQ(seen, (std::vector<std::string>{"Aus2", "Aus12", "An 12", "Aus12", "Aus2", "Aus12",
                                              "An 12", "Aus2", "Aus2", "Aus2", "Aus2", "Aus2"}));
    EXPECT_EQ(gameOptions, (GameOptions{17, 8, false, true}));
    EXPECT_EQ(console.textAt({80, 37}, 27), "[x] Optionen speichern: An ");
    EXPECT_EQ(console.colorAt({104, 37}), DarkGreen);
}

TEST_F(OptionsMenu, NumbersOutOfRangeGetTheRangeMessageUntilAValuePasses) {
    struct Field {
        int downs, y;
        std::string_view message, label;
    };
    for (const Field& field :
         {Field{2, 40, "Geben Sie maximal 17 und minimal 1 ein: ", "Anzahl der Spalten: "},
          Field{3, 41, "Geben Sie maximal 8 und minimal 1 ein: ", "Anzahl der Zeilen:  "}}) {
        const ScreenPos afterMessage{84 + int(field.message.size()), field.y};
        int rejections = 0;
        bool cursorShown = true;
        console.onKeyWait = [&] {
            const ScreenPos cursor = console.screen().cursor;
            cursorShown = cursorShown &&
                          (cursor.y != field.y || cursor.x < 104 || console.screen().cursorVisible);
            // Each new try starts right behind the message, in light red.
            rejections +=
                cursor == afterMessage && console.shows({84, field.y}, field.message, LightRed);
        };
        for (int i = 0; i < field.downs; ++i) {
            console.type(keys::Down);
        }
        console.type(keys::Enter);
        // Out of range, no number, beyond 32 bits: each one refused.
        for (const char* typed : {"0", "18", "abc", "99999999999", "-4", "8"}) {
            console.typeLine(typed);
        }
        run();
        EXPECT_EQ(rejections, 5);
        EXPECT_TRUE(cursorShown);
        EXPECT_FALSE(console.screen().cursorVisible);
        EXPECT_TRUE(console.shows(
            {84, field.y}, std::string(field.label) + "8" + std::string(28, ' '), DarkGreen));
        EXPECT_EQ(console.line(field.y).substr(80, 5), "[x] A");
        EXPECT_EQ(console.colorAt({81, field.y}), DarkGreen);
    }
}

TEST_F(OptionsMenu, TooSmallABoardAsksForTheSmallestValueThatPasses) {
    struct Case {
        GameOptions before;
        int y;
        const char *tooSmall, *message, *passing;
        GameOptions after;
    };
    for (const Case& c : {Case{{17, 1}, 40, "3", "Geben Sie mindestens 4 ein: ", "4", {4, 1}},
                          Case{{17, 3}, 40, "1", "Geben Sie mindestens 2 ein: ", "2", {2, 3}},
                          Case{{2, 8}, 41, "1", "Geben Sie mindestens 2 ein: ", "2", {2, 2}}}) {
        gameOptions = c.before;
        std::string seen;
        console.onKeyWait = [&] {
            if (console.screen().cursor == ScreenPos{112, c.y}) {
                seen = console.textAt({84, c.y}, ConsoleWidth - 84);
            }
        };
        keys({keys::Down, keys::Down, c.y == 41 ? keys::Down : "", keys::Enter});
        console.typeLine("99"); // the longer range message first: nothing of it may stay
        console.typeLine(c.tooSmall);
        console.typeLine(c.passing);
        run();
        EXPECT_EQ(seen, c.message + std::string(ConsoleWidth - 84 - 28, ' '));
        EXPECT_EQ(console.colorAt({84, c.y}), DarkGreen);
        EXPECT_EQ(gameOptions, c.after) << c.message;
    }
}

TEST_F(OptionsMenu, TypedNumberEchoesInLightRedAndLeavesNothingBesideTheValue) {
    bool echoRed = false;
    console.onKeyWait = [&] {
        echoRed = echoRed ||
                  (console.textAt({104, 40}, 2) == "00" && console.colorAt({105, 40}) == LightRed);
    };
    keys({keys::Down, keys::Down, keys::Enter});
    console.typeLine("007");
    console.type(keys::Enter);
    console.typeLine("5 7"); // the 7 does not wait for the next entry
    keys({keys::Down, keys::Enter});
    console.typeLine("4");
    run();
    EXPECT_TRUE(echoRed);
    EXPECT_EQ(gameOptions, (GameOptions{5, 4, false, false}));
    EXPECT_EQ(console.line(40).substr(80), "[ ] Anzahl der Spalten: 5");
}

} // namespace
