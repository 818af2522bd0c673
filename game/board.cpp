#include "game/board.h"

#include "game/cells.h"
#include "game/game_state.h"
#include "options/game_options.h"

#include <algorithm>
#include <string_view>

namespace {

void writeLegendLine(int y, ConsoleColor sample, std::string_view text) {
    setColor(sample);
    writeAt({MessageColumn, y}, "X");
    setColor(BrightWhite);
    writeText(text);
}

void drawLabelsAndGrid() {
    const int columns = gameOptions.columns;
    const int rows = gameOptions.rows;
    setColor(LightCyan);
    for (int i = 0; i < columns; ++i) {
        writeAt({cellCentre(i, 0).x, LetterLine}, std::string(1, static_cast<char>('A' + i)));
    }
    for (int j = 0; j < rows; ++j) {
        moveCursor({NumberColumn, cellCentre(0, j).y});
        writeNumber(j + 1);
    }
    setColor(BrightWhite);
    const ScreenPos first = cellCentre(0, 0);
    const ScreenPos second = cellCentre(1, 1);
    const int halfWidth = (second.x - first.x) / 2;
    const int halfHeight = (second.y - first.y) / 2;
    const ScreenPos last = cellCentre(columns - 1, rows - 1);
    const int right = last.x + halfWidth;
    const int bottom = last.y + halfHeight;
    for (int x = first.x - halfWidth; x <= right; x += 2 * halfWidth) {
        for (int y = LetterLine; y <= bottom; ++y) {
            writeAt({x, y}, "#");
        }
    }
    for (int y = first.y - halfHeight; y <= bottom; y += 2 * halfHeight) {
        for (int x = NumberColumn; x <= right; ++x) {
            writeAt({x, y}, "#");
        }
    }
}

// The filled slots of a shot list; the list never holds more shots than the board has cells.
template <std::size_t N> void drawShots(const std::array<ScreenPos, N>& shots) {
    const int cells = std::min(gameOptions.columns * gameOptions.rows, static_cast<int>(N));
    for (int i = 0; i < cells; ++i) {
        if (shots[static_cast<std::size_t>(i)].x != 0) {
            drawCellMarker(shots[static_cast<std::size_t>(i)], LightBlue);
        }
    }
}

template <std::size_t N>
void drawFilledSlots(const std::array<ScreenPos, N>& cells, ConsoleColor color) {
    for (const ScreenPos& cell : cells) {
        if (cell.x != 0) {
            drawCellMarker(cell, color);
        }
    }
}

} // namespace

void drawBoard(BoardView view) {
    setColor(LightRed);
    if (view == BoardView::Own) {
        writeAt({94, 0}, "DEIN FELD");
    } else {
        writeAt({90, 0}, "GEGNERISCHES FELD");
    }
    drawLabelsAndGrid();

    if (view == BoardView::Own) {
        drawLegend(gameState.boardDrawCount == 0 ? LegendMode::Placement : LegendMode::OwnBoard);
    } else {
        drawLegend(LegendMode::EnemyBoard);
        if (gameOptions.cheatMode) {
            drawLegend(LegendMode::EnemyShips);
        }
    }

    // Later markers cover earlier ones: a hit shows over the ship and over its own shot.
    if (view == BoardView::Own) {
        drawFilledSlots(gameState.playerShips, Yellow);
        drawShots(gameState.enemyShots);
        drawFilledSlots(gameState.enemyHits, DarkRed);
    } else {
        if (gameOptions.cheatMode) {
            drawFilledSlots(gameState.enemyShips, LightCyan);
        }
        drawShots(gameState.playerShots);
        drawFilledSlots(gameState.playerHits, DarkRed);
    }
    ++gameState.boardDrawCount;
}

void drawLegend(LegendMode mode) {
    setColor(BrightWhite);
    writeAt({MessageColumn, LegendLine}, "Legende:");
    switch (mode) {
    case LegendMode::Placement:
        writeLegendLine(LegendLine + 1, Yellow, " = Deine Schiffe");
        break;
    case LegendMode::EnemyBoard:
        writeLegendLine(LegendLine + 1, LightBlue, " = Wasser-Treffer");
        writeLegendLine(LegendLine + 2, DarkRed, " = Schiff-Treffer");
        break;
    case LegendMode::OwnBoard:
        writeLegendLine(LegendLine + 1, Yellow, " = Deine Schiffe");
        writeLegendLine(LegendLine + 2, LightBlue, " = feindliche Wasser-Treffer");
        writeLegendLine(LegendLine + 3, DarkRed, " = feindliche Schiff-Treffer");
        break;
    case LegendMode::EnemyShips:
        writeLegendLine(LegendLine + 3, LightCyan, " = feindliche Schiffe");
        break;
    }
}
