#include "app/banners.h"
#include "app/main_menu.h"
#include "support/virtual_console.h"
#include "menu_marks.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(MainMenu, ShowsTitleHeadingAndEntriesWithTheMarkOnTheEntryHandedIn) {
    menuDrawCount = 0;
    VirtualConsole vc;
    writeAt({0, 0}, "alt");
    for (MenuEntry start : {VsComputer, Options, Changelog, Quit, Info}) {
        vc.type(keys::Enter);
        EXPECT_EQ(showMainMenu(start), start);
    }
    // The first menu of a run is drawn twice: its first clear blanks the screen in the
    // terminal's own colours, the second in dark green on black. Later menus draw once.
    EXPECT_EQ(menuDrawCount, 6);
    EXPECT_EQ(vc.line(0), "");
    for (std::size_t i = 0; i < TitleBanner.size(); ++i) {
        EXPECT_TRUE(vc.shows({10, 5 + int(i)}, TitleBanner[i], LightGreen)) << "title line " << i;
    }
    EXPECT_TRUE(vc.shows({94, 37}, "Hauptmenü"_cp, DarkRed));
    const char* entries[] = {"[ ] Spiel gegen Computer",
                             "[ ] Spieler gegen Spieler (noch nicht implementiert)",
                             "[ ] Optionen",
                             "[x] Info",
                             "[ ] Changelog",
                             "[ ] Beenden"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(vc.shows({80, 40 + i}, entries[i], i == 1 ? DarkGrey : DarkGreen)) << i;
    }
    EXPECT_FALSE(vc.screen().cursorVisible);
}

TEST(MainMenu, ArrowsJumpOverTheGreyEntryStopAtBothEndsAndOtherKeysMoveNothing) {
    VirtualConsole vc;
    std::vector<int> seen;
    vc.onKeyWait = [&] {
        seen.push_back(markedEntry(vc));
        if (seen.size() == 1) { // rubbed out: Up draws it again, though it moves nothing
            consoleScreen().at(81, 40).ch = ' ';
        }
    };
    const std::string up(keys::Up), down(keys::Down);
    vc.type(up + down + up + down + down + down + down + down + up + up);
    vc.type("a7 qP"); // P, 80, is the second code of Down on its own
    vc.pressEscape();
    // Left, Right, F1 (a two-code key starting with 0), Page Up, then Enter.
    vc.type("\x1b[D\x1b[C\x1bOP\x1b[5~\r");
    EXPECT_EQ(showMainMenu(VsComputer), Info);
    std::vector<int> expected = {0, 0, 2, 0, 2, 3, 4, 5, 5, 4, 3};
    expected.resize(21, Info);
    EXPECT_EQ(seen, expected);
}

} // namespace
