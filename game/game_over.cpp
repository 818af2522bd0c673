#include "game/game_over.h"

#include "game/board.h"
#include "game/cells.h"
#include "game/game_over_banners.h"
#include "game/game_state.h"
#include "options/game_options.h"

namespace {

void writeBanner(const std::array<std::string_view, 8>& banner, int column, ConsoleColor color) {
    clearScreen();
    setColor(color);
    for (int k = 1; k <= 8; ++k) {
        writeAt({column, 30 + k}, banner[static_cast<std::size_t>(k - 1)]);
    }
}

void drawEnemyShips(ConsoleColor color) {
    for (const ScreenPos& ship : gameState.enemyShips) {
        drawCellMarker(ship, color);
    }
}

// Hit ships are drawn over after every pass, so only the ships not found blink.
void drawPlayerHits() {
    for (const ScreenPos& hit : gameState.playerHits) {
        if (hit.x != 0 && hit.y != 0) {
            drawCellMarker(hit, DarkRed);
        }
    }
}

void revealEnemyShips() {
    clearScreen();
    drawBoard(BoardView::Enemy);
    drawLegend(LegendMode::EnemyShips);
    for (int blink = 0; blink < 5; ++blink) {
        drawEnemyShips(Black);
        drawPlayerHits();
        pause(500);
        drawEnemyShips(LightCyan);
        drawPlayerHits();
        pause(1000);
    }
    pause(1000);
}

} // namespace

void showGameOver(BattleResult result) {
    setCursorVisible(false);
    if (result == BattleResult::PlayerWon) {
        writeBanner(WinBanner, 52, LightGreen);
    } else {
        if (!gameOptions.cheatMode) {
            revealEnemyShips();
        }
        writeBanner(LossBanner, 58, DarkMagenta);
    }
    // Words typed ahead serve within a game; here they would dismiss the screen unseen, or
    // place the next game's ships.
    dropTypedAhead();
    awaitKeyForMainMenu({65, 50});
}

void awaitKeyForMainMenu(ScreenPos promptPos) {
    moveCursor(promptPos);
    setColor(LightRed);
    writeText("Drücken Sie eine beliebige Taste um zum Hauptmenü zurückzukehren..."_cp);
    // Any key will do, and only its first code is taken: the second code of an arrow key is
    // left for the main menu, where it moves nothing.
    readKeyCode();
}
