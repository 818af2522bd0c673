#pragma once

// One board of a game with its heading, labels, grid, legend and markers, drawn on a
// cleared console. Only one board is ever on screen.

enum class BoardView { Own = 1, Enemy = 2 };

enum class LegendMode {
    // The own board while ships are placed: only the ships.
    Placement = 1,
    // The computer's board: water and ship hits.
    EnemyBoard = 2,
    // The own board during the battle: ships and the computer's hits of both kinds.
    OwnBoard = 3,
    // The line for the computer's ships, completing an EnemyBoard legend.
    EnemyShips = 4,
};

void drawBoard(BoardView view);
void drawLegend(LegendMode mode);
