// Thousands of complete games through the virtual console, on random board sizes, with and
// without cheat mode, with random typing (valid cells, invalid and too big words, repeats,
// overlong words, several words on a line) and random computer draws. After every shot the
// game record must be sound, and the battle must end exactly when a side has four hits.
// Pauses take no time, so this runs in seconds. KENTERMEER_SOAK_GAMES sets the number of
// games for a longer run.

#include "console/virtual_console.h"
#include "game/game_state.h"
#include "game/play_game.h"
#include "options/game_options.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Uniform = std::uniform_int_distribution<std::size_t>;

bool isCellCentre(ScreenPos cell) {
    return cell.x >= 20 && cell.x % 10 == 0 && cell.y >= 10 && (cell.y - 10) % 6 == 0 &&
           (cell.x - 20) / 10 < gameOptions.columns && (cell.y - 10) / 6 < gameOptions.rows;
}

// Filled slots first, each a distinct cell of the board, then only empty ones. Distinct
// cells of the board also keep a list from growing beyond the board. Returns how many are
// filled, or -1 for an unsound list.
template <std::size_t N>
int cellsIn(const std::array<ScreenPos, N>& slots, const std::string& name) {
    const auto end = std::find(slots.begin(), slots.end(), ScreenPos{});
    for (auto cell = slots.begin(); cell != slots.end(); ++cell) {
        const bool sound =
            cell >= end ? *cell == ScreenPos{}
                        : isCellCentre(*cell) && std::find(slots.begin(), cell, *cell) == cell;
        if (!sound) {
            ADD_FAILURE() << name << " slot " << cell - slots.begin() << ": " << cell->x << ", "
                          << cell->y;
            return -1;
        }
    }
    return static_cast<int>(end - slots.begin());
}

// A shot is parked in the next slot while it is judged and counted after its pause, so a
// shot list may hold one cell more than its count says. Every hit was fired and sits on a
// ship of the other side; the hit list holds four at most.
void expectSoundSide(const std::array<ScreenPos, MaxCells>& shots, int shotCount,
                     const std::array<ScreenPos, ShipCount>& hits, int hitCount,
                     const std::array<ScreenPos, ShipCount>& targets, const std::string& side) {
    const int fired = cellsIn(shots, side + "'s shots");
    EXPECT_TRUE(shotCount >= 0 && (fired == shotCount || fired == shotCount + 1))
        << side << ": " << fired << " shots for " << shotCount;
    EXPECT_EQ(cellsIn(hits, side + "'s hits"), hitCount) << side;
    for (int i = 0; i < std::clamp(hitCount, 0, ShipCount); ++i) {
        const ScreenPos hit = hits[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::count(shots.begin(), shots.end(), hit), 1) << side << " never fired " << i;
        EXPECT_EQ(std::count(targets.begin(), targets.end(), hit), 1)
            << side << " hit no ship " << i;
    }
}

void expectSoundRecord() {
    const GameState& s = gameState;
    EXPECT_EQ(cellsIn(s.playerShips, "player's ships"), ShipCount);
    EXPECT_EQ(cellsIn(s.enemyShips, "computer's ships"), ShipCount);
    expectSoundSide(s.playerShots, s.playerShotCount, s.playerHits, s.playerHitCount, s.enemyShips,
                    "player");
    expectSoundSide(s.enemyShots, s.enemyShotCount, s.enemyHits, s.enemyHitCount, s.playerShips,
                    "computer");
}

// Typing as a restless player does it: every cell of the board three times over in random
// order, and between them every kind of word the prompts must refuse.
std::string randomTyping(std::mt19937& random) {
    const auto below = [&](int limit) { return Uniform(0, limit - 1)(random); };
    const auto chance = [&](int oneIn) { return below(oneIn) == 0; };
    std::vector<std::string> words;
    const auto noise = [&]() -> std::string {
        static const char* const invalid[] = {"?1", "1a", "ab", "a", "\xc3\xa4\x31" /* ä1 */};
        // Letters a to r, digits 0 to 9: a cell, a word off every board, or one too big here.
        std::string word{static_cast<char>('a' + below(18)), static_cast<char>('0' + below(10))};
        switch (below(4)) {
        case 0:
            return invalid[below(5)];
        case 1: // as it is, or overlong
            return word + std::string(chance(2) ? 20 + below(200) : 0, 'k');
        case 2: // a repeat
            return words.empty() ? word : words[Uniform(0, words.size() - 1)(random)];
        }
        word.clear(); // anything printable
        for (int i = 0, length = 1 + below(6); i < length; ++i) {
            word.push_back(static_cast<char>('!' + below(94)));
        }
        return word;
    };
    const int columns = gameOptions.columns;
    std::vector<int> cells(columns * gameOptions.rows);
    for (int pass = 0; pass < 3; ++pass) {
        std::iota(cells.begin(), cells.end(), 0);
        std::shuffle(cells.begin(), cells.end(), random);
        for (const int cell : cells) {
            while (chance(3)) {
                words.push_back(noise());
            }
            // Upper case counts as well, and only the first two characters of a word.
            words.push_back({static_cast<char>((chance(2) ? 'a' : 'A') + cell % columns),
                             static_cast<char>('1' + cell / columns)});
            words.back() += chance(8) ? "xyz9" : "";
        }
    }
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const bool lineEnd = i + 1 == words.size() || chance(2);
        text += words[i] + (lineEnd ? (chance(4) ? "\r\n" : "\r") : (chance(5) ? "   " : " "));
    }
    return text;
}

} // namespace

TEST(Soak, ThousandsOfRandomGamesKeepTheGameRecordSound) {
    const char* setting = std::getenv("KENTERMEER_SOAK_GAMES");
    const long games =
        setting ? std::clamp(std::strtol(setting, nullptr, 10), 1L, 100'000'000L) : 2000;
    std::mt19937 random(20261206);
    int wins = 0;
    for (long game = 0; game < games && !HasFailure(); ++game) {
        SCOPED_TRACE("game " + std::to_string(game));
        VirtualConsole console;
        do {
            gameOptions.columns = static_cast<int>(Uniform(1, MaxColumns)(random));
            gameOptions.rows = static_cast<int>(Uniform(1, MaxRows)(random));
        } while (gameOptions.columns * gameOptions.rows < ShipCount);
        gameOptions.cheatMode = random() % 2 == 1;
        resetGame();
        console.type(randomTyping(random));
        console.typeAfterDrop("x"); // the key that leaves the end-of-game screen
        for (int i = 0; i < 4000; ++i) {
            console.scriptRandom({static_cast<int>(random() & 0x7FFFFFFF)});
        }

        bool over = false;
        console.onPause = [&](int milliseconds) {
            // Every shot pauses for three seconds, the waiting line and the reveal for less.
            if (milliseconds != 3000 || HasFailure()) {
                return;
            }
            EXPECT_FALSE(over) << "a shot after the battle was over";
            expectSoundRecord();
            over = gameState.playerHitCount == ShipCount || gameState.enemyHitCount == ShipCount;
        };
        playGame();

        expectSoundRecord();
        const bool won = gameState.playerHitCount == ShipCount;
        EXPECT_NE(won, gameState.enemyHitCount == ShipCount) << "no winner, or two";
        EXPECT_TRUE(over);
        wins += won;
    }
    // Both endings came up, or the soak did not soak much.
    EXPECT_GT(wins, 0);
    EXPECT_LT(wins, games);
    gameOptions = GameOptions{};
    resetGame();
}
