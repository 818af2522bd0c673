#include "game/battle.h"

#include "game/board.h"
#include "game/cells.h"
#include "game/computer_turn.h"
#include "game/coordinate_input.h"
#include "game/game_state.h"

#include <array>
#include <string_view>

namespace {

// TREFFER! and DANEBEN! in a small three-line letter font; trailing blanks belong to them.
constexpr std::array<std::string_view, 3> HitBanner = {
    R"(___  __   __  __  __  __  __ )",
    R"( |  |__) |_  |_  |_  |_  |__)|)",
    R"( |  | \  |__ |   |   |__ | \ . )",
};
constexpr std::array<std::string_view, 3> MissBanner = {
    R"( __             __  __   __)",
    R"(|  \  /\  |\ | |_  |__) |_  |\ | |)",
    R"(|__/ /--\ | \| |__ |__) |__ | \| .)",
};

void writeBanner(const std::array<std::string_view, 3>& banner, ConsoleColor color) {
    blankLine(MessageLine);
    blankLine(PromptLine);
    setColor(color);
    for (int i = 0; i < 3; ++i) {
        writeAt({MessageColumn, MessageLine + i}, banner[static_cast<std::size_t>(i)]);
    }
}

// Reads words until one names a board cell not fired at before. The word is parked in the
// next free shot slot while it is judged and taken out again when it is refused.
ScreenPos readTarget() {
    ScreenPos& slot = gameState.playerShots[static_cast<std::size_t>(gameState.playerShotCount)];
    for (;;) {
        slot = readCoordinate();
        std::string_view fault = boardFault(slot);
        std::string_view followUp = "Wählen Sie andere Koordinaten: "_cp;
        if (fault.empty() && containsCell(gameState.playerShots, gameState.playerShotCount, slot)) {
            fault = "Dort haben Sie bereits hingeschossen!";
            followUp = "Wählen Sie eine andere Koordinaten: "_cp;
        }
        if (fault.empty()) {
            return slot;
        }
        showInputFault(fault, followUp);
        slot = {};
    }
}

ShotResult firePlayerShot(bool firstOfTurn) {
    if (!firstOfTurn) {
        blankLine(MessageLine);
        blankLine(PromptLine);
        blankLine(BannerLastLine);
    }
    moveCursor({MessageColumn, MessageLine});
    setColor(LightRed);
    writeText("Feuer frei!");
    moveCursor({MessageColumn, PromptLine});
    setCursorVisible(true);
    writeText("Bitte wähle, wohin du schießen willst: "_cp);

    const ScreenPos target = readTarget();
    setCursorVisible(false);
    ShotResult result = ShotResult::Miss;
    if (containsCell(gameState.enemyShips, ShipCount, target)) {
        result = ShotResult::Hit;
        writeBanner(HitBanner, LightRed);
        drawCellMarker(target, DarkRed);
        gameState.playerHits[static_cast<std::size_t>(gameState.playerHitCount++)] = target;
    } else {
        writeBanner(MissBanner, LightBlue);
        drawCellMarker(target, LightBlue);
    }
    pause(3000);
    ++gameState.playerShotCount;
    return result;
}

} // namespace

BattleResult runBattle() {
    for (;;) {
        playerTurn();
        if (gameState.playerHitCount == ShipCount) {
            return BattleResult::PlayerWon;
        }
        computerTurn();
        if (gameState.enemyHitCount == ShipCount) {
            return BattleResult::ComputerWon;
        }
    }
}

void playerTurn() {
    clearScreen();
    drawBoard(BoardView::Enemy);
    bool firstOfTurn = true;
    // A hit earns another shot on the same screen; the board is not drawn again.
    while (firePlayerShot(firstOfTurn) == ShotResult::Hit && gameState.playerHitCount < ShipCount) {
        firstOfTurn = false;
    }
}
