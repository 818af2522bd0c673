// The main loop is driven under a configuration folder of its own, found through the
// environment; on Windows the options file lives in the application-data folder instead.
#ifndef _WIN32

#include "app/main_menu.h"
#include "app/program.h"
#include "console/virtual_console.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The main loop, driven whole: quitting stores the options, so the run gets a home of its
// own where nothing of the user's can be touched.
struct MainLoop : ::testing::Test {
    MainLoop() {
        char pattern[] = "/tmp/kentermeer-program-XXXXXX";
        home = mkdtemp(pattern);
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "APPDATA"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            setenv(name, home.c_str(), 1);
        }
        menuDrawCount = 0;
        vc.onKeyWait = [this] {
            // The entry that carries the mark whenever the menu waits for a key.
            if (vc.textAt({94, 37}, 9) == "Hauptmenü"_cp) {
                for (int entry = 0; entry <= 5; ++entry) {
                    if (vc.textAt({81, 40 + entry}, 1) == "x") {
                        marks.push_back(entry);
                    }
                }
            }
        };
    }
    ~MainLoop() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        std::filesystem::remove_all(home);
    }

    void down(int times) {
        for (int i = 0; i < times; ++i) {
            vc.type(keys::Down);
        }
    }
    void up(int times) {
        for (int i = 0; i < times; ++i) {
            vc.type(keys::Up);
        }
    }

    std::string home;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    VirtualConsole vc;
    std::vector<int> marks;
};

TEST_F(MainLoop, QuitsFromTheFirstMenuAfterSettingUpTheConsole) {
    down(4);
    vc.type(keys::Enter);
    runProgram();
    EXPECT_TRUE(vc.setupDone);
    EXPECT_EQ(menuDrawCount, 2);
    EXPECT_EQ(marks.front(), VsComputer);
    EXPECT_EQ(vc.unreadInput(), 0u);
    // The last menu stays on screen.
    EXPECT_TRUE(vc.shows({80, 45}, "[x] Beenden", DarkGreen));
}

TEST_F(MainLoop, MarkComesBackToTheEntryThatLedToInfoOrChangelog) {
    down(2); // Info
    vc.type(keys::Enter);
    vc.type("q"); // leaves the Info screen
    down(1);      // Changelog
    vc.type(keys::Enter);
    vc.type(" ");
    down(1); // Beenden
    vc.type(keys::Enter);
    runProgram();
    // The mark at every key the menu waits for: three in the first menu, then two with the
    // mark back on Info, then two with it back on Changelog.
    const std::vector<int> expected = {0, 2, 3, 3, 4, 4, 5};
    EXPECT_EQ(marks, expected);
    EXPECT_EQ(vc.unreadInput(), 0u);
}

TEST_F(MainLoop, MarkComesBackToOptions) {
    down(1);
    vc.type(keys::Enter);
    // Whatever the options menu reads to leave; Escape is its way back.
    vc.pressEscape();
    up(1);
    down(4);
    vc.type(keys::Enter);
    runProgram();
    ASSERT_GE(marks.size(), 4u);
    EXPECT_EQ(marks[2], Options);
    EXPECT_EQ(marks.back(), Quit);
}

TEST_F(MainLoop, ArrowThatLeavesInfoMovesNothingInTheMenu) {
    down(2);
    vc.type(keys::Enter);
    vc.type(keys::Down); // its first code leaves Info, its second reaches the menu
    vc.type(keys::Enter);
    vc.type("x");
    down(2);
    vc.type(keys::Enter);
    runProgram();
    // The left-over code is read without a wait; the next key the menu waits for, Enter,
    // finds the mark still on Info and opens it once more.
    const std::vector<int> expected = {0, 2, 3, 3, 3, 4, 5};
    EXPECT_EQ(marks, expected);
}

} // namespace

#endif
