#include "game/game_over_banners.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr char Stroke = '\xDB';
constexpr char Shadow = '\xB0';

void expectBlockFont(const std::array<std::string_view, 8>& banner) {
    EXPECT_EQ(banner[0].find(Shadow), std::string_view::npos);
    EXPECT_EQ(banner[7].find(Stroke), std::string_view::npos);
    const auto at = [&](std::size_t line, std::size_t column) {
        return column < banner[line].size() ? banner[line][column] : ' ';
    };
    for (std::size_t line = 0; line < 8; ++line) {
        for (std::size_t column = 0; column < banner[line].size(); ++column) {
            const char ch = banner[line][column];
            ASSERT_TRUE(ch == ' ' || ch == Stroke || ch == Shadow) << line << "," << column;
            // Every stroke casts its shadow one line down and one column left, and shadow
            // stands nowhere else.
            if (ch == Stroke && line < 7 && column > 0) {
                EXPECT_NE(at(line + 1, column - 1), ' ') << line << "," << column;
            }
            if (ch == Shadow) {
                EXPECT_EQ(at(line - 1, column + 1), Stroke) << line << "," << column;
            }
        }
    }
}

} // namespace

TEST(GameOverBanners, LinesHaveTheirLengthsAndTheShadowedBlockFont) {
    std::vector<std::size_t> win, loss;
    for (const std::string_view line : WinBanner) {
        win.push_back(line.size());
    }
    for (const std::string_view line : LossBanner) {
        loss.push_back(line.size());
    }
    EXPECT_EQ(win, (std::vector<std::size_t>{93, 93, 93, 93, 93, 93, 93, 94}));
    EXPECT_EQ(loss, (std::vector<std::size_t>{82, 82, 82, 82, 82, 81, 82, 81}));
    expectBlockFont(WinBanner);
    expectBlockFont(LossBanner);
}
