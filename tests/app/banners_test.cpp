#include "app/banners.h"
#include "console/console.h"
#include "options/options_banner.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The widest line of a banner that must be drawn with `letters` only, no line ending in a blank.
std::size_t checkedWidth(std::span<const std::string_view> banner, std::string_view letters) {
    std::size_t width = 0;
    for (std::string_view line : banner) {
        EXPECT_EQ(line.find_first_not_of(letters), std::string_view::npos) << line;
        EXPECT_FALSE(line.empty() || line.back() == ' ') << line;
        width = std::max(width, line.size());
    }
    return width;
}

constexpr std::string_view FourteenLineLetters = " Ss%&*dbPY.~`'_";

TEST(Banners, TitleIsMostlyMAndFitsBeforeTheLastColumn) {
    EXPECT_LE(10 + checkedWidth(TitleBanner, " Mbd YP689_`'.,()/\\"), std::size_t(ConsoleWidth));
    std::string all;
    for (std::string_view line : TitleBanner) {
        all += line;
    }
    const auto ms = std::count(all.begin(), all.end(), 'M');
    EXPECT_GT(ms, 2 * (std::ssize(all) - ms - std::count(all.begin(), all.end(), ' ')));
}

TEST(Banners, FourteenLineBannersHaveTheWidthsTheirScreensAreLaidOutFor) {
    EXPECT_EQ(checkedWidth(InfoBanner, FourteenLineLetters), 38u);
    EXPECT_EQ(checkedWidth(ChangelogBanner, FourteenLineLetters), 93u);
    checkedWidth(OptionsBanner, FourteenLineLetters);
    std::vector<std::size_t> widths;
    for (std::string_view line : OptionsBanner) {
        widths.push_back(line.size());
    }
    EXPECT_EQ(widths,
              (std::vector<std::size_t>{90, 91, 92, 92, 92, 92, 92, 92, 92, 92, 92, 92, 84, 83}));
}

} // namespace
