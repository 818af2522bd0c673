#pragma once

#include <array>
#include <string_view>

// The OPTIONEN banner, in the letter style of the INFO and CHANGELOG banners.
extern const std::array<std::string_view, 14> OptionsBanner;
