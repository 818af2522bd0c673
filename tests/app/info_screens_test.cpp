#include "app/banners.h"
#include "app/info_screens.h"
#include "app/main_menu.h"
#include "console/virtual_console.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

// A text line by its column, its line, the column of its last character and its first words.
struct Line {
    int x, y, last;
    std::string_view start;
};

// Runs the screen over an old drawing; then the banner stands from line 5 in light green,
// every line of `lines` in dark green, the closing prompt in light red, and nothing else.
void expectScreen(void (*screen)(), const std::array<std::string_view, 14>& banner, int bannerX,
                  std::initializer_list<Line> lines) {
    VirtualConsole vc;
    writeAt({0, 0}, "alt");
    setCursorVisible(false);
    vc.type("x");
    screen();
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(vc.shows({bannerX, 5 + i}, banner[std::size_t(i)], LightGreen)) << i;
    }
    for (const Line& line : lines) {
        const std::string text = vc.line(line.y);
        EXPECT_EQ(text.substr(0, line.x + line.start.size()),
                  std::string(std::size_t(line.x), ' ').append(line.start));
        EXPECT_EQ(text.size(), std::size_t(line.last + 1)) << line.start;
        EXPECT_TRUE(vc.shows({line.x, line.y},
                             text.substr(std::min<std::size_t>(text.size(), line.x)), DarkGreen));
    }
    EXPECT_TRUE(vc.shows({65, 65},
                         "Drücken Sie eine beliebige Taste um zum Hauptmenü zurückzukehren..."_cp,
                         LightRed));
    std::size_t used = 0;
    for (int y = 0; y < ConsoleHeight; ++y) {
        used += !vc.line(y).empty();
    }
    EXPECT_EQ(used, 15 + lines.size()) << "nothing else on the screen";
    EXPECT_FALSE(vc.screen().cursorVisible);
    EXPECT_EQ(vc.screen().color, LightRed);
}

TEST(InfoAndChangelog, ShowEveryLineAtItsPlaceAndTheLongestUpToTheLastColumn) {
    expectScreen(showInfo, InfoBanner, 79,
                 {{67, 40, 96, "Programmiert von Mika Sandhoff"},
                  {67, 42, 125, "Danke an alle aus der Brandungsgruppe für die Bugmeldungen!"_cp},
                  {67, 44, 111, "ASCII Schriftzüge von: http"_cp},
                  {67, 46, 96, "Version 1.9 | 23.03.2016 23:28"}});
    // clang-format off
    expectScreen(showChangelog, ChangelogBanner, 52, {
        {54, 27, 127, "Version 1.9: - rekompiliert"},       {54, 29, 196, "Version 1.8: - Bugfix"},
        {67, 30, 184, "- Bug-/Rechtschrebfehlerfix"},       {69, 31, 86, "lines/columns"},
        {54, 33, 140, "Version 1.7: - Rechtschreibfehler"}, {67, 34, 193, "- Satz: \"- erste"},
        {69, 35, 92, "leider immer"},                       {54, 37, 162, "Version 1.6: - Eintrag"},
        {54, 40, 99, "Version 1.5: - Bugfix"},              {67, 41, 117, "- Code weiter"},
        {54, 43, 181, "Version 1.4: - Bugfix"},             {67, 44, 120, "- Option zum"},
        {67, 45, 108, "- Code teilweise"},                  {54, 47, 160, "Version 1.3: - Bugfix"},
        {67, 48, 105, "- Cheat Mode"},                      {67, 49, 93, "- Changelog invers"},
        {67, 50, 184, "- gegnerische"},                     {54, 52, 149, "Version 1.2: - Bugfix"},
        {67, 53, 134, "- Optionsmenü, in dem"_cp},          {54, 55, 155, "Version 1.1: - Bugfix"},
        {67, 56, 89, "- Changelog hinzugefügt"_cp},         {67, 57, 101, "- Versionsnummer"},
        {67, 58, 178, "- Cursor bleibt"},                   {54, 60, 88, "Version 1.0: - Erst"}});
    // clang-format on
}

TEST(InfoAndChangelog, AnyKeyReturnsAtItsFirstCodeAndAnArrowLeavesItsSecondCodeBehind) {
    VirtualConsole vc;
    for (void (*screen)() : {showInfo, showChangelog}) {
        for (std::string_view key : {"a", " ", "\r", "", "\x1b[B"}) {
            key.empty() ? vc.pressEscape() : vc.type(key); // "" is Escape on its own
            vc.type("z");
            screen();
            if (key == keys::Down) {
                EXPECT_EQ(readKeyCode(), 'P');
            }
            EXPECT_EQ(readKeyCode(), 'z') << "after " << (key.empty() ? "Escape" : key);
        }
    }
}

TEST(InfoAndChangelog, SecondCodeOfTheArrowThatLeftReachesTheMenuAndMovesNothing) {
    menuDrawCount = 1;
    VirtualConsole vc;
    vc.type(keys::Down);
    showInfo();
    // The menu reads 80, the second code of Down, as a key of its own; then Enter.
    vc.type(keys::Enter);
    EXPECT_EQ(showMainMenu(Info), Info);
    EXPECT_EQ(vc.unreadInput(), 0u);
}

} // namespace
