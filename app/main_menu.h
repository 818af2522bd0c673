#pragma once

// The six entries of the main menu, in screen order.
enum MenuEntry { VsComputer = 0, VsPlayer = 1, Options = 2, Info = 3, Changelog = 4, Quit = 5 };

// Draws the main menu with the mark on the given entry and returns the entry confirmed with
// Enter; never VsPlayer.
MenuEntry showMainMenu(MenuEntry selection);
