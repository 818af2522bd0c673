#pragma once

// What the screens, the screen model and the backends all speak of: the console's size, its
// positions and its colours.

#include <cstdint>

// A console position: x is the column (0 to 196), y the line (0 to 69).
struct ScreenPos {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ScreenPos&, const ScreenPos&) = default;
};

// A console text attribute: bit 0 blue, bit 1 green, bit 2 red, bit 3 intensity, always on a
// black background. These are the values the program uses.
enum ConsoleColor : std::uint8_t {
    Black = 0,
    DarkGreen = 2,
    DarkRed = 4,
    DarkMagenta = 5,
    DarkGrey = 8,
    LightBlue = 9,
    LightGreen = 10,
    LightCyan = 11,
    LightRed = 12,
    Yellow = 14,
    BrightWhite = 15,
};

inline constexpr int ConsoleWidth = 197;
inline constexpr int ConsoleHeight = 70;
