#pragma once

// The game record and everything that turns a typed or drawn cell name into a board cell.
// A cell is kept as the console position of its centre: the same value draws the cell,
// compares it and tests a shot against the ships.

#include "console/console.h"
#include "options/game_options.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int MaxCells = MaxColumns * MaxRows;

// The message area under the board and the legend below it, the same on every board size.
inline constexpr int MessageLine = 57;
inline constexpr int PromptLine = 58;
inline constexpr int BannerLastLine = 59;
inline constexpr int MessageColumn = 10;
inline constexpr int LegendLine = 64;

struct GameState {
    // Empty slots are (0, 0); no cell centre has a 0 in it.
    std::array<ScreenPos, ShipCount> playerShips{};
    std::array<ScreenPos, ShipCount> enemyShips{};
    std::array<ScreenPos, MaxCells> playerShots{};
    std::array<ScreenPos, MaxCells> enemyShots{};
    std::array<ScreenPos, ShipCount> playerHits{};
    std::array<ScreenPos, ShipCount> enemyHits{};
    std::int32_t playerShotCount = 0;
    std::int32_t playerHitCount = 0;
    std::int32_t enemyShotCount = 0;
    std::int32_t enemyHitCount = 0;
    // Drawings since the reset: the first own board of a game is the placement screen.
    std::int32_t boardDrawCount = 0;
    friend bool operator==(const GameState&, const GameState&) = default;
};

extern GameState gameState;

void resetGame();

// Where the board stands on screen, column and row counted from 0: A1's centre at (20, 10),
// the next cell 10 columns to the right or 6 lines down. The grid runs halfway between the
// centres and reaches out to the letters' line above and to the numbers' column on the left.
constexpr ScreenPos cellCentre(int column, int row) {
    return {10 * column + 20, 6 * row + 10};
}
inline constexpr int LetterLine = 4;
inline constexpr int NumberColumn = 10;
// A word such as "b3": only its first two characters count. An unknown letter gives 0 in x,
// an unknown digit 0 in y.
ScreenPos parseCoordinate(std::string_view word);
// For a parsed position: inside the board size that the options give right now.
bool isOnBoard(ScreenPos cell);
// The computer's pick: column first, then row, as the two characters a player would type.
std::string drawRandomCellName();
// True when cell is one of the first count entries of cells.
template <std::size_t N>
bool containsCell(const std::array<ScreenPos, N>& cells, int count, ScreenPos cell) {
    for (int i = 0; i < count && i < static_cast<int>(N); ++i) {
        if (cells[static_cast<std::size_t>(i)] == cell) {
            return true;
        }
    }
    return false;
}
