#pragma once

#include <cstdint>

// The six entries of the main menu, in screen order.
enum MenuEntry { VsComputer = 0, VsPlayer = 1, Options = 2, Info = 3, Changelog = 4, Quit = 5 };

// How often the main menu has been drawn since start; the very first drawing is repeated.
extern std::int32_t menuDrawCount;

// Draws the main menu with the mark on the given entry and returns the entry confirmed with
// Enter; never VsPlayer.
MenuEntry showMainMenu(MenuEntry selection);
