#include "game/game_over_banners.h"

#include <gtest/gtest.h>

TEST(GameOverBanners, LinesHaveTheirLengthsAndTheShadowedBlockFont) {
    using Banner = std::array<std::string_view, 8>;
    const std::pair<const Banner*, std::array<std::size_t, 8>> banners[] = {
        {&WinBanner, {93, 93, 93, 93, 93, 93, 93, 94}},
        {&LossBanner, {82, 82, 82, 82, 82, 81, 82, 81}}};
    for (const auto& [banner, lengths] : banners) {
        // Outside the banner counts as blank.
        const auto at = [&](std::size_t line, std::size_t column) {
            return line < 8 && column < (*banner)[line].size() ? (*banner)[line][column] : ' ';
        };
        for (std::size_t line = 0; line < 8; ++line) {
            EXPECT_EQ((*banner)[line].size(), lengths[line]) << line;
            for (std::size_t column = 0; column < (*banner)[line].size(); ++column) {
                // Every stroke casts its shadow one line down and one column left, and shadow
                // stands nowhere else; so the first line holds no shadow, the last no stroke.
                const char ch = at(line, column);
                ASSERT_TRUE(ch == ' ' || ch == '\xDB' || ch == '\xB0') << line << "," << column;
                if (ch == '\xDB') {
                    EXPECT_NE(at(line + 1, column - 1), ' ') << line << "," << column;
                }
                if (ch == '\xB0') {
                    EXPECT_EQ(at(line - 1, column + 1), '\xDB') << line << "," << column;
                }
            }
        }
    }
}
