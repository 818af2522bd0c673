#include "app/banners.h"
#include "console/console.h"
#include "options/options_banner.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string_view>
#include <vector>

namespace {

template <std::size_t N> std::size_t widest(const std::array<std::string_view, N>& banner) {
    std::size_t width = 0;
    for (std::string_view line : banner) {
        width = std::max(width, line.size());
    }
    return width;
}

// Characters outside `allowed` (and the blank), with the line they stand on.
template <std::size_t N>
std::vector<std::string> strangers(const std::array<std::string_view, N>& banner,
                                   std::string_view allowed) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < N; ++i) {
        for (char ch : banner[i]) {
            if (ch != ' ' && allowed.find(ch) == std::string_view::npos) {
                found.push_back("line " + std::to_string(i) + ": " + ch);
            }
        }
    }
    return found;
}

template <std::size_t N> bool hasTrailingBlank(const std::array<std::string_view, N>& banner) {
    return std::any_of(banner.begin(), banner.end(),
                       [](std::string_view line) { return line.empty() || line.back() == ' '; });
}

constexpr std::string_view TitleLetters = "Mbd YP689_`'.,()/\\";
constexpr std::string_view FourteenLineLetters = "Ss%&*dbPY.~`'_";

TEST(Banners, TitleIsMostlyMAndFitsBeforeTheLastColumn) {
    EXPECT_TRUE(strangers(TitleBanner, TitleLetters).empty());
    EXPECT_LE(10 + widest(TitleBanner), static_cast<std::size_t>(ConsoleWidth));
    std::size_t ms = 0;
    std::size_t others = 0;
    for (std::string_view line : TitleBanner) {
        ms += static_cast<std::size_t>(std::count(line.begin(), line.end(), 'M'));
        others += static_cast<std::size_t>(std::count_if(
            line.begin(), line.end(), [](char ch) { return ch != ' ' && ch != 'M'; }));
    }
    EXPECT_GT(ms, 2 * others);
    EXPECT_FALSE(hasTrailingBlank(TitleBanner));
}

TEST(Banners, InfoAndChangelogHaveTheirWidthsInTheFourteenLineLetters) {
    EXPECT_EQ(widest(InfoBanner), 38u);
    EXPECT_EQ(widest(ChangelogBanner), 93u);
    EXPECT_LE(52 + widest(ChangelogBanner), static_cast<std::size_t>(ConsoleWidth));
    EXPECT_TRUE(strangers(InfoBanner, FourteenLineLetters).empty());
    EXPECT_TRUE(strangers(ChangelogBanner, FourteenLineLetters).empty());
    EXPECT_FALSE(hasTrailingBlank(InfoBanner));
    EXPECT_FALSE(hasTrailingBlank(ChangelogBanner));
}

TEST(Banners, OptionsBannerHasTheLineWidthsItsScreenIsLaidOutFor) {
    const std::array<std::size_t, 14> widths = {90, 91, 92, 92, 92, 92, 92,
                                                92, 92, 92, 92, 92, 84, 83};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        EXPECT_EQ(OptionsBanner[i].size(), widths[i]) << "line " << i;
    }
    EXPECT_TRUE(strangers(OptionsBanner, FourteenLineLetters).empty());
    EXPECT_FALSE(hasTrailingBlank(OptionsBanner));
}

} // namespace
