#pragma once

// The screen model: what the console shows, cell by cell, as the primitives left it. The
// backends paint it; tests read it.

#include "console/console_types.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

// The terminal's own colours, in force until the program sets one of its own.
inline constexpr std::uint8_t DefaultColor = 0xFF;

struct Cell {
    unsigned char ch = ' ';
    std::uint8_t color = DefaultColor;
    friend bool operator==(const Cell&, const Cell&) = default;
};

struct Screen {
    std::array<Cell, ConsoleWidth * ConsoleHeight> cells{};
    ScreenPos cursor{};
    bool cursorVisible = true;
    std::uint8_t color = DefaultColor;
    // Lines written since the last paint; a paint looks only at these.
    std::bitset<ConsoleHeight> dirtyLines;
    // Set by a clear: the painter clears the terminal in this colour before painting cells.
    bool clearPending = false;
    std::uint8_t clearColor = DefaultColor;

    Cell& at(int x, int y) { return cells[static_cast<std::size_t>(y * ConsoleWidth + x)]; }
    const Cell& at(int x, int y) const {
        return cells[static_cast<std::size_t>(y * ConsoleWidth + x)];
    }
};

bool isOnScreen(ScreenPos pos);
void modelMoveCursor(Screen& screen, ScreenPos pos);
void modelClear(Screen& screen);
// Writes bytes at the cursor in the current colour. Like the console, the cursor wraps to
// the next line after the last column, and writing past the last line scrolls up by one.
void modelWrite(Screen& screen, std::string_view text);
