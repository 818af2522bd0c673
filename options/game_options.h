#pragma once

#include <cstdint>

// The program's four settings, alive for the whole run: changed by the options menu, loaded
// and stored through the options file, read by the game at every use.
struct GameOptions {
    std::int32_t columns = 17;
    std::int32_t rows = 8;
    bool cheatMode = false;
    bool saveOptions = false;
    friend bool operator==(const GameOptions&, const GameOptions&) = default;
};

extern GameOptions gameOptions;

// The board sizes the options allow: up to 17 columns and 8 rows, and never fewer cells
// than the four ships each side places.
inline constexpr std::int32_t MaxColumns = 17;
inline constexpr std::int32_t MaxRows = 8;
inline constexpr std::int32_t ShipCount = 4;
