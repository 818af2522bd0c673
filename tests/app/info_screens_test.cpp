#include "app/banners.h"
#include "app/info_screens.h"
#include "support/virtual_console.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

// Runs the screen over an old drawing and leaves it with Down, whose second code the screen
// leaves for the menu. Then the banner stands from line 5 in light green, from line `top` on
// each line starts in dark green at its column (0: a blank line), the closing prompt stands
// in light red, and nothing else.
void expectScreen(void (*screen)(), const std::array<std::string_view, 14>& banner, int bannerX,
                  int top, std::initializer_list<std::size_t> starts) {
    VirtualConsole vc;
    writeAt({0, 0}, "alt");
    vc.type(std::string(keys::Down) + "z");
    screen();
    EXPECT_EQ(readKeyCode(), 'P');
    EXPECT_EQ(readKeyCode(), 'z');
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(vc.shows({bannerX, 5 + i}, banner[std::size_t(i)], LightGreen)) << i;
    }
    std::size_t textLines = 0;
    for (int y = top; const std::size_t x : starts) {
        const std::string text = vc.line(y);
        EXPECT_EQ(text.find_first_not_of(' '), x ? x : std::string::npos) << y;
        EXPECT_TRUE(!x || vc.shows({int(x), y}, text.substr(std::min(x, text.size())), DarkGreen));
        textLines += x != 0;
        ++y;
    }
    EXPECT_TRUE(vc.shows({65, 65},
                         "Drücken Sie eine beliebige Taste um zum Hauptmenü zurückzukehren..."_cp,
                         LightRed));
    std::size_t used = 0;
    for (int y = 0; y < ConsoleHeight; ++y) {
        used += !vc.line(y).empty();
    }
    EXPECT_EQ(used, 15 + textLines) << "nothing else on the screen";
}

TEST(InfoAndChangelog, ShowEveryLineAtItsPlaceAndLeaveTheSecondCodeOfTheKey) {
    expectScreen(showInfo, InfoBanner, 79, 40, {67, 0, 67, 0, 67, 0, 67});
    // A version's first line at 54, its further points at 67, a line carrying on at 69.
    expectScreen(showChangelog, ChangelogBanner, 52, 27,
                 {54, 0,  54, 67, 69, 0,  54, 67, 69, 0,  54, 0,  0,  54, 67, 0, 54,
                  67, 67, 0,  54, 67, 67, 67, 0,  54, 67, 0,  54, 67, 67, 67, 0, 54});
}

} // namespace
