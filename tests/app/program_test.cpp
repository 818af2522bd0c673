// The main loop stores the options at quit, so it runs under a configuration folder of its
// own, found through the environment; on Windows the file lives in the application-data
// folder instead.
#ifndef _WIN32

#include "app/main_menu.h"
#include "app/program.h"
#include "support/virtual_console.h"
#include "game/game_state.h"
#include "menu_marks.h"
#include "options/game_options.h"
#include "support/scratch_config_home.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(MainLoop, MarkComesBackToTheEntryThatLedToEachScreenAndAGameLeavesAClearedRecord) {
    ScratchConfigHome config;
    gameOptions = {2, 2, false, false};
    VirtualConsole vc;
    std::vector<int> marks; // the mark whenever the main menu waits for a key
    vc.onKeyWait = [&] {
        if (vc.textAt({94, 37}, 9) == "Hauptmenü"_cp) {
            marks.push_back(markedEntry(vc));
            EXPECT_TRUE(gameState == GameState{}) << "the record at menu " << marks.size();
        }
    };
    // Four ships fill the 2 x 2 board, so four shots win; the key after the end of the game
    // is typed once the game has dropped what was typed ahead.
    vc.type("\ra1 b2 a2 b1\ra1\rb1\ra2\rb2\r");
    const std::string down(keys::Down), up(keys::Up);
    vc.typeAfterDrop(" " + down + down + "\rq"); // Info, left with q
    vc.type(down + "\r ");                       // Changelog, left with a blank
    vc.type(up + up + "\r");                     // Optionen, left with Escape
    vc.pressEscape();
    vc.type(down + down + down + "\r"); // Beenden
    std::srand(1);
    const int unseeded = std::rand();
    std::srand(1);
    runProgram();
    EXPECT_NE(std::rand(), unseeded) << "the computer would draw the same ships in every run";
    EXPECT_TRUE(vc.setupDone);
    EXPECT_EQ(marks, (std::vector<int>{0, 0, 2, 3, 3, 4, 4, 3, 2, 2, 3, 4, 5}));
    EXPECT_EQ(vc.unreadInput(), 0u);
    gameOptions = GameOptions{};
}

} // namespace

#endif
