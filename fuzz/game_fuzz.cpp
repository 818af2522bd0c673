// Whole games from any typing, on any board size, with and without cheat mode, and any
// computer draws. After every shot the game record must be sound, and the battle must end
// exactly when a side has four hits. Games follow one another, each from a reset record,
// while the input lasts.

#include "board_choice.h"
#include "checked_console.h"
#include "game/game_state.h"
#include "game/play_game.h"
#include "options/game_options.h"

#include <algorithm>
#include <string>

namespace {

// Filled slots first, each a distinct cell of the board, then only empty ones (which also
// keeps a list from holding more cells than the board has). Returns how many are filled.
template <std::size_t N> int filledSlots(const std::array<ScreenPos, N>& slots, const char* name) {
    const auto end = std::find(slots.begin(), slots.end(), ScreenPos{});
    bool sound = true;
    for (auto cell = slots.begin(); cell != slots.end(); ++cell) {
        sound = sound && (cell >= end ? *cell == ScreenPos{}
                                      : isCellCentre(*cell) &&
                                            std::find(slots.begin(), cell, *cell) == cell);
    }
    require(sound, std::string(name) + ": a slot that is no distinct cell, or a gap");
    return static_cast<int>(end - slots.begin());
}

// A shot is parked in the next slot while it is judged and counted after its pause, so a
// shot list may hold one cell more than its count says. Every hit was fired and sits on a
// ship of the other side.
void checkSide(const std::array<ScreenPos, MaxCells>& shots, int shotCount,
               const std::array<ScreenPos, ShipCount>& hits, int hitCount,
               const std::array<ScreenPos, ShipCount>& targets, const std::string& side) {
    const int fired = filledSlots(shots, "shots");
    require(shotCount >= 0 && (fired == shotCount || fired == shotCount + 1),
            side + ": shots and their count differ");
    require(filledSlots(hits, "hits") == hitCount, side + ": hits and their count differ");
    for (int i = 0; i < hitCount; ++i) {
        const ScreenPos hit = hits[static_cast<std::size_t>(i)];
        require(std::count(shots.begin(), shots.end(), hit) == 1, side + ": a hit never fired");
        require(std::count(targets.begin(), targets.end(), hit) == 1, side + ": a hit on no ship");
    }
}

void checkRecord() {
    const GameState& s = gameState;
    require(filledSlots(s.playerShips, "player's ships") == ShipCount, "player's ships missing");
    require(filledSlots(s.enemyShips, "computer's ships") == ShipCount, "computer's ships missing");
    checkSide(s.playerShots, s.playerShotCount, s.playerHits, s.playerHitCount, s.enemyShips,
              "player");
    checkSide(s.enemyShots, s.enemyShotCount, s.enemyHits, s.enemyHitCount, s.playerShips,
              "computer");
}

bool battleOver() {
    return gameState.playerHitCount == ShipCount || gameState.enemyHitCount == ShipCount;
}

class GameConsole : public CheckedConsole {
  public:
    explicit GameConsole(FuzzInput& input) : CheckedConsole(input), input_(input) {}

    // The painting is the painter target's to prove; here it would only slow the games down.
    void present(Screen& screen) override {
        screen.dirtyLines.reset();
        screen.clearPending = false;
    }
    // Placement ends with a pause of three seconds, and so does every shot.
    void sleep(int milliseconds) override {
        if (milliseconds == 3000) {
            require(!over_, "a shot after the battle was over");
            checkRecord();
            over_ = battleOver();
        }
    }
    // Only the end-of-game screen drops what was typed ahead.
    void dropPendingKeys() override {
        require(over_ && battleOver(), "the game ended before a side had four hits");
        require(gameState.playerHitCount != gameState.enemyHitCount, "two winners");
        over_ = false;
        ended = true;
    }
    // One byte a draw, as the board has at most 17 columns; none left ends the run, so that
    // the computer's redraws of a cell fired at before cannot go on for ever.
    int random() override {
        if (input_.empty()) {
            throw InputEnded{};
        }
        return static_cast<int>(input_.choose(256));
    }

    // The end-of-game screen showed since the last reset.
    bool ended = false;

  private:
    FuzzInput& input_;
    bool over_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    GameConsole console(input);
    chooseBoardSize(input);
    gameOptions.cheatMode = input.choose(2) == 1;
    try {
        for (;;) {
            resetGame();
            console.ended = false;
            playGame();
            require(console.ended, "a game ended without its end-of-game screen");
        }
    } catch (const InputEnded&) {
        // The input ran out in a read, where the program would have ended.
    }
    gameOptions = GameOptions{};
    resetGame();
    return 0;
}
