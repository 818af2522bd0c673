#include "console/size_notice.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(SizeNotice, FitsTheWindowAndKeepsItsSizeReadable) {
    std::string all;
    all += "Kentermeer braucht ein Fenster von mindestens 197 × 70 Zeichen. Jetzt: 60 × 20."_cp;
    all += " Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."_cp;
    all += " Esc beendet das Programm.";
    struct Case {
        int columns;
        int lines;
        std::string_view size;
    };
    for (const auto& [columns, lines, size] :
         {Case{60, 20, "Jetzt: 60 × 20."_cp}, Case{20, 5, "Jetzt: 20 × 5."_cp},
          Case{10, 3, "10 × 3."_cp}, Case{197, 1, ""}}) {
        const std::vector<std::string> notice = sizeNoticeLines(columns, lines);
        EXPECT_LE(static_cast<int>(notice.size()) + SizeNoticeStart.y, lines) << columns;
        for (const std::string& line : notice) {
            EXPECT_LE(static_cast<int>(line.size()) + SizeNoticeStart.x, columns) << line;
        }
        EXPECT_TRUE(size.empty() || std::find(notice.begin(), notice.end(), size) != notice.end())
            << columns << " x " << lines;
    }
    // Where the lines are enough, all of it shows, broken only between words.
    std::string joined;
    for (const std::string& line : sizeNoticeLines(60, 20)) {
        joined += line.empty() || joined.empty() ? line : " " + line;
    }
    EXPECT_EQ(joined, all);
}
