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
#include <random>
#include <string>
#include <vector>

namespace {

bool isCellCentre(ScreenPos cell) {
    return cell.x >= 20 && cell.x % 10 == 0 && cell.y >= 10 && (cell.y - 10) % 6 == 0 &&
           (cell.x - 20) / 10 < gameOptions.columns && (cell.y - 10) / 6 < gameOptions.rows;
}

template <std::size_t N> int filledSlots(const std::array<ScreenPos, N>& slots) {
    int filled = 0;
    while (filled < static_cast<int>(N) &&
           !(slots[static_cast<std::size_t>(filled)] == ScreenPos{})) {
        ++filled;
    }
    return filled;
}

template <std::size_t N>
bool holds(const std::array<ScreenPos, N>& slots, int count, ScreenPos cell) {
    return std::find(slots.begin(), slots.begin() + count, cell) != slots.begin() + count;
}

// Filled slots first, distinct cells of the board, nothing after them.
template <std::size_t N>
void expectCellList(const std::array<ScreenPos, N>& slots, int filled, const char* name) {
    for (int i = 0; i < static_cast<int>(N); ++i) {
        const ScreenPos cell = slots[static_cast<std::size_t>(i)];
        if (i >= filled) {
            ASSERT_EQ(cell, ScreenPos{}) << name << " slot " << i << " after the list's end";
            continue;
        }
        ASSERT_TRUE(isCellCentre(cell))
            << name << " slot " << i << ": " << cell.x << ", " << cell.y;
        ASSERT_FALSE(holds(slots, i, cell)) << name << " slot " << i << " twice";
    }
}

// A shot is parked in the next slot while it is judged and counted after its pause, so a
// shot list may hold one cell more than its count says.
template <std::size_t N>
void expectShots(const std::array<ScreenPos, N>& shots, int count, const char* name) {
    const int filled = filledSlots(shots);
    ASSERT_GE(count, 0) << name;
    ASSERT_TRUE(filled == count || filled == count + 1)
        << name << ": " << filled << " for " << count;
    ASSERT_LE(filled, gameOptions.columns * gameOptions.rows) << name;
    expectCellList(shots, filled, name);
}

template <std::size_t N>
void expectHits(const std::array<ScreenPos, ShipCount>& hits, int count,
                const std::array<ScreenPos, N>& shots,
                const std::array<ScreenPos, ShipCount>& ships, const char* name) {
    ASSERT_GE(count, 0) << name;
    ASSERT_LE(count, ShipCount) << name;
    expectCellList(hits, count, name);
    for (int i = 0; i < count; ++i) {
        const ScreenPos hit = hits[static_cast<std::size_t>(i)];
        ASSERT_TRUE(holds(shots, filledSlots(shots), hit)) << name << " " << i << " never fired";
        ASSERT_TRUE(holds(ships, ShipCount, hit)) << name << " " << i << " on no ship";
    }
}

void expectSoundRecord() {
    const GameState& s = gameState;
    expectCellList(s.playerShips, ShipCount, "player's ships");
    expectCellList(s.enemyShips, ShipCount, "computer's ships");
    expectShots(s.playerShots, s.playerShotCount, "player's shots");
    expectShots(s.enemyShots, s.enemyShotCount, "computer's shots");
    expectHits(s.playerHits, s.playerHitCount, s.playerShots, s.enemyShips, "player's hits");
    expectHits(s.enemyHits, s.enemyHitCount, s.enemyShots, s.playerShips, "computer's hits");
}

// Typing as a restless player does it: mostly cells, among them every cell of the board
// several times over, and between them every kind of word the prompts must refuse.
class RandomTyping {
  public:
    explicit RandomTyping(std::mt19937& random) : random_(random) {}

    std::string script() {
        std::vector<std::string> words;
        for (int pass = 0; pass < 3; ++pass) {
            std::vector<std::string> cells;
            for (int column = 0; column < gameOptions.columns; ++column) {
                for (int row = 0; row < gameOptions.rows; ++row) {
                    cells.push_back(cellName(column, row));
                }
            }
            std::shuffle(cells.begin(), cells.end(), random_);
            for (std::string& cell : cells) {
                while (chance(3)) {
                    words.push_back(noise(words));
                }
                words.push_back(std::move(cell));
            }
        }
        std::string text;
        for (std::size_t i = 0; i < words.size(); ++i) {
            text += words[i];
            const bool lineEnd = i + 1 == words.size() || chance(2);
            text += lineEnd ? (chance(4) ? "\n" : "\r") : (chance(5) ? "   " : " ");
        }
        // The key that leaves the end-of-game screen.
        return text + "x";
    }

  private:
    bool chance(int oneIn) { return std::uniform_int_distribution<int>(1, oneIn)(random_) == 1; }
    int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }

    std::string cellName(int column, int row) {
        std::string name{static_cast<char>((chance(2) ? 'a' : 'A') + column),
                         static_cast<char>('1' + row)};
        if (chance(8)) {
            name += "xyz9"; // only the first two characters count
        }
        return name;
    }

    std::string noise(const std::vector<std::string>& earlier) {
        switch (below(6)) {
        case 0: {
            static const char* const invalid[] = {"z9",
                                                  "r1",
                                                  "?1",
                                                  "1a",
                                                  "a0",
                                                  "a9",
                                                  "ab",
                                                  "a",
                                                  "\xc3\xa4\x31", // ä1, typed in UTF-8
                                                  "#"};
            return invalid[below(10)];
        }
        case 1: // too big where the board is smaller than the largest
            return std::string{
                static_cast<char>('a' + gameOptions.columns + below(17 - gameOptions.columns + 1)),
                static_cast<char>('1' + below(gameOptions.rows))};
        case 2:
            return std::string{
                static_cast<char>('a' + below(gameOptions.columns)),
                static_cast<char>('1' + gameOptions.rows + below(8 - gameOptions.rows + 1))};
        case 3: // a repeat
            return earlier.empty()
                       ? "a1"
                       : earlier[static_cast<std::size_t>(below(static_cast<int>(earlier.size())))];
        case 4: { // overlong
            std::string word(static_cast<std::size_t>(20 + below(200)), 'k');
            word[0] = static_cast<char>('a' + below(17));
            word[1] = static_cast<char>('0' + below(10));
            return word;
        }
        default: { // anything printable
            std::string word;
            for (int i = 0, length = 1 + below(6); i < length; ++i) {
                word.push_back(static_cast<char>('!' + below(94)));
            }
            return word;
        }
        }
    }

    std::mt19937& random_;
};

int soakGames() {
    const char* games = std::getenv("KENTERMEER_SOAK_GAMES");
    if (games == nullptr) {
        return 2000;
    }
    return static_cast<int>(std::clamp(std::strtol(games, nullptr, 10), 1L, 100'000'000L));
}

} // namespace

TEST(Soak, ThousandsOfRandomGamesKeepTheGameRecordSound) {
    std::mt19937 random(20261206);
    int wins = 0;
    int losses = 0;
    for (int game = 0; game < soakGames(); ++game) {
        VirtualConsole console;
        do {
            gameOptions.columns = std::uniform_int_distribution<int>(1, MaxColumns)(random);
            gameOptions.rows = std::uniform_int_distribution<int>(1, MaxRows)(random);
        } while (gameOptions.columns * gameOptions.rows < ShipCount);
        gameOptions.cheatMode = random() % 2 == 1;
        resetGame();
        RandomTyping typing(random);
        console.type(typing.script());
        for (int i = 0; i < 4000; ++i) {
            console.scriptRandom({static_cast<int>(random() & 0x7FFFFFFF)});
        }

        bool over = false;
        console.onPause = [&](int milliseconds) {
            if (milliseconds != 3000) {
                return; // a step of the waiting line or of the reveal, not a shot's pause
            }
            // Every shot pauses for three seconds; once a side has four hits, none may follow.
            ASSERT_FALSE(over) << "a shot after the battle was over";
            expectSoundRecord();
            over = gameState.playerHitCount == ShipCount || gameState.enemyHitCount == ShipCount;
        };

        playGame();

        SCOPED_TRACE("game " + std::to_string(game));
        expectSoundRecord();
        ASSERT_NE(gameState.playerHitCount == ShipCount, gameState.enemyHitCount == ShipCount)
            << "the battle ended without a winner, or with two";
        ASSERT_TRUE(over);
        // The last shot of the winner was its fourth hit.
        if (gameState.playerHitCount == ShipCount) {
            ASSERT_EQ(
                gameState.playerHits[3],
                gameState.playerShots[static_cast<std::size_t>(gameState.playerShotCount - 1)]);
        } else {
            ASSERT_EQ(gameState.enemyHits[3],
                      gameState.enemyShots[static_cast<std::size_t>(gameState.enemyShotCount - 1)]);
        }
        (gameState.playerHitCount == ShipCount ? wins : losses) += 1;
        if (HasFatalFailure()) {
            break;
        }
    }
    // Both endings came up, or the soak did not soak much.
    EXPECT_GT(wins, 0);
    EXPECT_GT(losses, 0);
    gameOptions = GameOptions{};
    resetGame();
}
