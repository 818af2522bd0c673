#pragma once

#include <array>
#include <string_view>

// Gewonnen! and Verloren! in large block letters: strokes of "Û" with a shadow of "°" one
// line down and one column left. Eight lines each; the first holds only strokes, the last
// only shadow.
extern const std::array<std::string_view, 8> WinBanner;
extern const std::array<std::string_view, 8> LossBanner;
