#include "console/virtual_console.h"
#include "options/game_options.h"
#include "options/options_banner.h"
#include "options/options_menu.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::string_view Blanks28 = "                            ";

class OptionsMenu : public ::testing::Test {
  protected:
    OptionsMenu() { gameOptions = GameOptions{}; }
    ~OptionsMenu() override { gameOptions = GameOptions{}; }

    // The line whose bracket holds the mark, or -1 when not exactly one does.
    int markedLine() const {
        int marked = -1;
        for (const int y : {36, 37, 40, 41}) {
            if (console.textAt({81, y}, 1) == "x") {
                marked = marked < 0 ? y : -2;
            }
        }
        return marked < 0 ? -1 : marked;
    }

    // Runs the menu on the scripted input, which the test ends with Escape.
    void run() {
        console.pressEscape();
        runOptionsMenu();
    }

    VirtualConsole console;
};

TEST_F(OptionsMenu, DrawsEveryItemInItsPlaceWithTheRecordsValues) {
    gameOptions = {5, 3, true, false};
    run();
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(console.shows({54, 5 + i}, OptionsBanner[std::size_t(i)], LightGreen)) << i;
    }
    EXPECT_TRUE(console.shows({78, 35}, "Allgemein", DarkRed));
    EXPECT_TRUE(console.shows({78, 39}, "Spielfeldgröße"_cp, DarkRed));
    EXPECT_TRUE(console.shows({80, 36}, "[x] Cheat Mode:", DarkGreen));
    EXPECT_TRUE(console.shows({104, 36}, "An", DarkGreen));
    EXPECT_TRUE(console.shows({80, 37}, "[ ] Optionen speichern:", DarkGreen));
    EXPECT_TRUE(console.shows({104, 37}, "Aus", DarkGreen));
    EXPECT_TRUE(console.shows({80, 40}, "[ ] Anzahl der Spalten:", DarkGreen));
    EXPECT_TRUE(console.shows({104, 40}, "5", DarkGreen));
    EXPECT_TRUE(console.shows({80, 41}, "[ ] Anzahl der Zeilen:", DarkGreen));
    EXPECT_TRUE(console.shows({104, 41}, "3", DarkGreen));
    EXPECT_TRUE(
        console.shows({74, 65}, "Drücken Sie ESC um zum Hauptmenü zurückzukehren..."_cp, LightRed));
    EXPECT_FALSE(console.screen().cursorVisible);
    EXPECT_EQ(console.screen().color, DarkGreen);
    EXPECT_EQ(gameOptions, (GameOptions{5, 3, true, false}));
}

TEST_F(OptionsMenu, MarkSkipsTheHeadingAndStopsAtBothEnds) {
    std::vector<int> marks;
    console.onKeyWait = [&] { marks.push_back(markedLine()); };
    for (const std::string_view key : {keys::Up, keys::Down, keys::Down, keys::Down, keys::Down,
                                       keys::Up, keys::Up, keys::Up, keys::Up}) {
        console.type(key);
    }
    run();
    EXPECT_EQ(marks, (std::vector<int>{36, 36, 37, 40, 41, 41, 40, 37, 36, 36}));
    EXPECT_EQ(console.colorAt({81, 36}), DarkGreen);
}

TEST_F(OptionsMenu, KeysWithoutMeaningLeaveTheMark) {
    // H and P are the arrows' second codes; they must not pass for arrows on their own.
    console.type(keys::Down);
    console.type("HPa5 ");
    console.type(keys::Left);
    console.type(keys::Right);
    console.type("\x1bOP"); // F1
    run();
    EXPECT_EQ(markedLine(), 37);
}

TEST_F(OptionsMenu, SwitchKeepsItsValueUntilEnterAndEscapeShowsTheStoredOneAgain) {
    std::vector<std::string> shown;
    std::vector<int> markColors;
    console.onKeyWait = [&] {
        shown.push_back(console.textAt({104, 36}, 3));
        markColors.push_back(console.colorAt({81, 36}));
    };
    console.type(keys::Enter); // cheat mode: toggled twice and kept
    console.type(keys::Down);
    console.type(keys::Up);
    console.type(keys::Enter);
    console.type(keys::Enter); // toggled once and dropped
    console.type(keys::Up);
    console.pressEscape();
    console.type(keys::Down); // saving: toggled once and kept
    console.type(keys::Enter);
    console.type(keys::Up);
    console.type(keys::Enter);
    run();
    EXPECT_EQ(shown, (std::vector<std::string>{"Aus", "Aus", "An ", "Aus", "Aus", "Aus", "An ",
                                               "Aus", "Aus", "Aus", "Aus", "Aus"}));
    constexpr int G = DarkGreen, R = LightRed;
    EXPECT_EQ(markColors, (std::vector<int>{G, R, R, R, G, R, R, G, G, G, G, G}));
    EXPECT_FALSE(gameOptions.cheatMode);
    EXPECT_TRUE(gameOptions.saveOptions);
    EXPECT_TRUE(console.shows({104, 37}, "An ", DarkGreen));
    EXPECT_TRUE(console.shows({80, 37}, "[x]", DarkGreen));
}

TEST_F(OptionsMenu, ColumnsOutOfRangeGetTheRangeMessageUntilAValuePasses) {
    const std::string_view message = "Geben Sie maximal 17 und minimal 1 ein: ";
    int rejections = 0;
    bool cursorShownWhileTyping = true;
    console.onKeyWait = [&] {
        const ScreenPos cursor = console.screen().cursor;
        if (cursor.y == 40 && cursor.x >= 104) {
            cursorShownWhileTyping = cursorShownWhileTyping && console.screen().cursorVisible;
        }
        // The next try starts right behind the message.
        rejections += cursor == ScreenPos{124, 40} && console.shows({84, 40}, message, LightRed);
    };
    console.type(std::string(keys::Down) + std::string(keys::Down));
    console.type(keys::Enter);
    // Out of range, no number, beyond 32 bits: each is refused and a new line is read.
    for (const char* typed : {"0", "18", "abc", "99999999999", "-4"}) {
        console.typeLine(typed);
    }
    console.typeLine("17");
    run();
    EXPECT_EQ(rejections, 5);
    EXPECT_TRUE(cursorShownWhileTyping);
    EXPECT_EQ(gameOptions.columns, 17);
    EXPECT_TRUE(
        console.shows({84, 40}, "Anzahl der Spalten: 17" + std::string(Blanks28), DarkGreen));
    EXPECT_EQ(console.line(40), std::string(80, ' ') + "[x] Anzahl der Spalten: 17");
    EXPECT_FALSE(console.screen().cursorVisible);
    EXPECT_EQ(console.colorAt({81, 40}), DarkGreen);
}

TEST_F(OptionsMenu, RowsComeBackUnderTheirLabelAfterTheRangeMessage) {
    bool messageShown = false;
    console.onKeyWait = [&] {
        messageShown = messageShown ||
                       console.shows({84, 41}, "Geben Sie maximal 8 und minimal 1 ein: ", LightRed);
    };
    console.type(std::string(keys::Up) + std::string(keys::Up)); // Up from the top: no move
    for (int i = 0; i < 3; ++i) {
        console.type(keys::Down);
    }
    console.type(keys::Enter);
    console.typeLine("9");
    console.typeLine("3");
    run();
    EXPECT_TRUE(messageShown);
    EXPECT_EQ(gameOptions.rows, 3);
    EXPECT_TRUE(
        console.shows({84, 41}, "Anzahl der Zeilen:  3" + std::string(Blanks28), DarkGreen));
}

TEST(OptionsMenuBoardSize, TooSmallABoardAsksForTheSmallestValueThatPasses) {
    struct Case {
        GameOptions options;
        int entryLine;
        const char* tooSmall;
        const char* message;
        const char* passing;
        GameOptions after;
    };
    for (const Case& c : {Case{{17, 1}, 40, "3", "Geben Sie mindestens 4 ein: ", "4", {4, 1}},
                          Case{{17, 3}, 40, "1", "Geben Sie mindestens 2 ein: ", "2", {2, 3}},
                          Case{{2, 8}, 41, "1", "Geben Sie mindestens 2 ein: ", "2", {2, 2}}}) {
        VirtualConsole console;
        gameOptions = c.options;
        const int y = c.entryLine;
        std::string seen;
        console.onKeyWait = [&] {
            if (console.screen().cursor == ScreenPos{112, y} &&
                console.colorAt({84, y}) == LightRed) {
                seen = console.textAt({84, y}, ConsoleWidth - 84);
            }
        };
        for (int downs = y == 40 ? 2 : 3; downs > 0; --downs) {
            console.type(keys::Down);
        }
        console.type(keys::Enter);
        console.typeLine("99"); // the longer range message first: what is left of it goes
        console.typeLine(c.tooSmall);
        console.typeLine(c.passing);
        console.pressEscape();
        runOptionsMenu();
        EXPECT_EQ(seen, c.message + std::string(ConsoleWidth - 84 - 28, ' ')) << c.message;
        EXPECT_EQ(console.textAt({104, y}, 2), std::string(c.passing) + " ");
        EXPECT_EQ(gameOptions, c.after) << c.message;
    }
    gameOptions = GameOptions{};
}

TEST_F(OptionsMenu, TypedNumberEchoesLightRedAndLeavesNothingBesideTheValue) {
    bool echoRed = false;
    console.onKeyWait = [&] {
        echoRed = echoRed ||
                  (console.textAt({104, 40}, 2) == "00" && console.colorAt({105, 40}) == LightRed);
    };
    console.type(std::string(keys::Down) + std::string(keys::Down));
    console.type(keys::Enter);
    console.typeLine("007");
    console.type(keys::Enter);
    console.typeLine("5 7"); // the 7 is not kept for the next entry
    console.type(keys::Down);
    console.type(keys::Enter);
    console.typeLine("4");
    run();
    EXPECT_TRUE(echoRed);
    EXPECT_EQ(gameOptions, (GameOptions{5, 4, false, false}));
    EXPECT_EQ(console.line(40).substr(80), "[ ] Anzahl der Spalten: 5");
    EXPECT_EQ(console.line(41).substr(80), "[x] Anzahl der Zeilen:  4");
}

} // namespace
