#include "console/size_notice.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(SizeNotice, FitsTheWindowAndKeepsItsSizeReadable) {
    const std::pair<ScreenPos, std::string_view> cases[] = {
        {{60, 20}, "Jetzt: 60 × 20."_cp}, {{20, 5}, "Jetzt: 20 × 5."_cp}, {{10, 3}, "10 × 3."_cp}};
    for (const auto& [window, size] : cases) {
        const std::vector<std::string> notice = sizeNoticeLines(window.x, window.y);
        EXPECT_LE(static_cast<int>(notice.size()) + SizeNoticeStart.y, window.y) << window.x;
        for (const std::string& line : notice) {
            EXPECT_LE(static_cast<int>(line.size()) + SizeNoticeStart.x, window.x) << line;
        }
        EXPECT_NE(std::find(notice.begin(), notice.end(), size), notice.end()) << window.x;
    }
    // Where the lines are enough, all of it shows, broken only between words.
    const std::string_view all =
        "Kentermeer braucht ein Fenster von mindestens 197 × 70 Zeichen. Jetzt: 60 × 20."
        " Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."
        " Esc beendet das Programm."_cp;
    std::string joined;
    for (const std::string& line : sizeNoticeLines(60, 20)) {
        joined += line.empty() || joined.empty() ? line : " " + line;
    }
    EXPECT_EQ(joined, all);
    // A platform's advice comes after the notice's own, a gap before the line on Escape.
    const std::vector<std::string> advised = sizeNoticeLines(60, 20, true, {"Rat."});
    EXPECT_EQ(std::vector(advised.end() - 3, advised.end()),
              (std::vector<std::string>{"Rat.", "", "Esc beendet das Programm."}));
    // A word wider than the window is cut.
    const std::vector<std::string> narrow = sizeNoticeLines(10, 30);
    EXPECT_EQ(std::vector(narrow.begin(), narrow.begin() + 3),
              (std::vector<std::string>{"Kenterme", "er", "braucht"}));
}
