#pragma once

#include <cstdint>

// The program's four settings, alive for the whole run: changed by the options menu, loaded
// and stored through the options file, read by the game at every use.
struct GameOptions {
    std::int32_t columns = 17;
    std::int32_t rows = 8;
    bool cheatMode = false;
    bool saveOptions = false;
};

extern GameOptions gameOptions;
