#pragma once

#include <array>
#include <string_view>

// The large letter banners, one text line per element, drawn top to bottom from the banner's
// first line.

// The program title on the main menu: eleven lines from column 10.
extern const std::array<std::string_view, 11> TitleBanner;
// The Info and Changelog screens: fourteen lines in the letter style of the options banner.
extern const std::array<std::string_view, 14> InfoBanner;
extern const std::array<std::string_view, 14> ChangelogBanner;
