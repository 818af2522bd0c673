#include "app/banners.h"
#include "app/main_menu.h"
#include "console/screen.h"
#include "console/virtual_console.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A run that is past its first menu, so that the menu draws once.
struct MainMenu : ::testing::Test {
    MainMenu() { menuDrawCount = 1; }
    VirtualConsole vc;

    // The marks as they stand: one character per entry, "x" or " ".
    std::string marks() const {
        std::string column;
        for (int line = 40; line <= 45; ++line) {
            column += vc.textAt({81, line}, 1);
        }
        return column;
    }

    MenuEntry choose(MenuEntry start, std::string_view keysBeforeEnter) {
        vc.type(keysBeforeEnter);
        vc.type(keys::Enter);
        return showMainMenu(start);
    }
};

TEST_F(MainMenu, ShowsTitleHeadingAndEntriesInTheirColours) {
    choose(VsComputer, "");
    for (int i = 0; i < 11; ++i) {
        EXPECT_TRUE(vc.shows({10, 5 + i}, TitleBanner[static_cast<std::size_t>(i)], LightGreen))
            << "title line " << i;
    }
    EXPECT_TRUE(vc.shows({94, 37}, "Hauptmenü"_cp, DarkRed));
    EXPECT_TRUE(vc.shows({80, 40}, "[x] Spiel gegen Computer", DarkGreen));
    EXPECT_TRUE(
        vc.shows({80, 41}, "[ ] Spieler gegen Spieler (noch nicht implementiert)", DarkGrey));
    EXPECT_TRUE(vc.shows({80, 42}, "[ ] Optionen", DarkGreen));
    EXPECT_TRUE(vc.shows({80, 43}, "[ ] Info", DarkGreen));
    EXPECT_TRUE(vc.shows({80, 44}, "[ ] Changelog", DarkGreen));
    EXPECT_TRUE(vc.shows({80, 45}, "[ ] Beenden", DarkGreen));
    EXPECT_EQ(vc.line(39), "");
    EXPECT_EQ(vc.line(46), "");
}

TEST_F(MainMenu, LeavesCursorHiddenAndColourDarkGreen) {
    choose(Info, std::string(keys::Up));
    EXPECT_FALSE(vc.screen().cursorVisible);
    EXPECT_EQ(vc.screen().color, DarkGreen);
}

TEST_F(MainMenu, EnterAtOnceReturnsTheEntryHandedIn) {
    EXPECT_EQ(choose(VsComputer, ""), VsComputer);
    EXPECT_EQ(choose(Options, ""), Options);
    EXPECT_EQ(choose(Info, ""), Info);
    EXPECT_EQ(choose(Changelog, ""), Changelog);
    EXPECT_EQ(choose(Quit, ""), Quit);
}

TEST_F(MainMenu, ArrowsJumpOverTheGreyEntry) {
    EXPECT_EQ(choose(VsComputer, keys::Down), Options);
    EXPECT_EQ(choose(Options, keys::Up), VsComputer);
}

TEST_F(MainMenu, ArrowsWalkTheWholeMenuBothWays) {
    std::string down;
    for (int i = 0; i < 4; ++i) {
        down += keys::Down;
    }
    EXPECT_EQ(choose(VsComputer, down), Quit);
    std::string up;
    for (int i = 0; i < 4; ++i) {
        up += keys::Up;
    }
    EXPECT_EQ(choose(Quit, up), VsComputer);
    EXPECT_EQ(choose(Options, keys::Down), Info);
    EXPECT_EQ(choose(Changelog, keys::Up), Info);
}

TEST_F(MainMenu, EndsDoNotWrapAround) {
    EXPECT_EQ(choose(Quit, keys::Down), Quit);
    EXPECT_EQ(choose(VsComputer, keys::Up), VsComputer);
    const std::string manyDowns = std::string(keys::Down) + std::string(keys::Down) +
                                  std::string(keys::Down) + std::string(keys::Down) +
                                  std::string(keys::Down) + std::string(keys::Down);
    EXPECT_EQ(choose(Options, manyDowns), Quit);
}

TEST_F(MainMenu, KeysWithoutMeaningMoveNothing) {
    vc.type("a7 q");
    vc.pressEscape();
    vc.type(keys::Left);
    vc.type(keys::Right);
    vc.type("\x1bOP");  // F1, a two-code key starting with 0
    vc.type("\x1b[5~"); // Page Up
    EXPECT_EQ(choose(Info, ""), Info);
}

TEST_F(MainMenu, GreyEntryNeverCarriesTheMark) {
    std::vector<std::string> seen;
    vc.onKeyWait = [&] { seen.push_back(marks()); };
    choose(VsComputer, std::string(keys::Down) + std::string(keys::Up) + std::string(keys::Up) +
                           std::string(keys::Down) + std::string(keys::Down));
    const std::vector<std::string> expected = {"x     ", "  x   ", "x     ",
                                               "x     ", "  x   ", "   x  "};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(marks(), "   x  ");
}

TEST_F(MainMenu, MarkIsRedrawnInDarkGreenAfterEveryKey) {
    // A key that moves nothing still takes the mark away and draws it again: rub it out on
    // screen while the menu waits, and the next key brings it back.
    int waits = 0;
    vc.onKeyWait = [&] {
        if (++waits == 1) {
            consoleScreen().at(81, 43).ch = ' ';
            consoleScreen().at(81, 43).color = LightRed;
        }
    };
    choose(Info, "z");
    EXPECT_TRUE(vc.shows({80, 43}, "[x] Info", DarkGreen));
}

TEST_F(MainMenu, SecondCodeOfAnArrowLeftOverIsAKeyThatMovesNothing) {
    // The second code of Down on its own is the byte 80, the letter "P".
    vc.type("P");
    EXPECT_EQ(choose(Info, ""), Info);
}

TEST(MainMenuFirstDrawing, IsRepeatedSoTheScreenIsBlankedInDarkGreenOnBlack) {
    menuDrawCount = 0;
    VirtualConsole vc;
    vc.type(keys::Enter);
    EXPECT_EQ(showMainMenu(VsComputer), VsComputer);
    EXPECT_EQ(menuDrawCount, 2);
    // Not the terminal's own colours, which the first clear used.
    EXPECT_EQ(vc.colorAt({0, 0}), DarkGreen);
    EXPECT_EQ(vc.colorAt({196, 69}), DarkGreen);
    EXPECT_EQ(vc.colorAt({79, 40}), DarkGreen);
    EXPECT_TRUE(vc.shows({80, 40}, "[x] Spiel gegen Computer", DarkGreen));
}

TEST(MainMenuFirstDrawing, LaterMenusDrawOnceInTheColourLeftBehind) {
    menuDrawCount = 0;
    VirtualConsole vc;
    vc.type(keys::Enter);
    showMainMenu(VsComputer);

    // As after the Info screen, whose prompt is light red.
    setColor(LightRed);
    vc.type(keys::Enter);
    showMainMenu(Info);
    EXPECT_EQ(menuDrawCount, 3);
    EXPECT_EQ(vc.colorAt({0, 0}), LightRed);
    EXPECT_EQ(vc.textAt({81, 40}, 1), " ");
    EXPECT_TRUE(vc.shows({80, 43}, "[x] Info", DarkGreen));
}

} // namespace
