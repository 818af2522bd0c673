#pragma once

// What the game's fuzz targets share: a board size chosen by the input, and the board cells
// found back from their screen positions.

#include "checked_console.h"
#include "console/console.h"

// Sets the board size in gameOptions from two choices: any size the options menu accepts.
void chooseBoardSize(FuzzInput& input);

// The column and row, counted from 0 on the largest board, whose cell centre stands in
// screen column x or on screen line y; -1 where none does.
int boardColumnAt(int x);
int boardRowAt(int y);
// True when cell is the centre of a cell of the board size that the options give.
bool isCellCentre(ScreenPos cell);
