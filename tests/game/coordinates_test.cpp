#include "game/game_state.h"
#include "options/game_options.h"

#include <gtest/gtest.h>
#include <string>

TEST(CoordinateNotation, EveryLetterAndDigitNamesItsCellAndOnlyBoardCellsFit) {
    for (const auto& [columns, rows] : {std::pair{1, 4}, {2, 2}, {10, 5}, {17, 8}}) {
        gameOptions.columns = columns;
        gameOptions.rows = rows;
        for (int column = 0; column < MaxColumns; ++column) {
            for (int row = 0; row < MaxRows; ++row) {
                const std::string name{static_cast<char>('a' + column),
                                       static_cast<char>('1' + row)};
                const ScreenPos cell = parseCoordinate(name);
                EXPECT_EQ(cell, cellCentre(column, row)) << name;
                EXPECT_EQ(parseCoordinate(std::string{static_cast<char>('A' + column), name[1]}),
                          cell);
                EXPECT_EQ(isOnBoard(cell), column < columns && row < rows)
                    << name << " on " << columns << " x " << rows;
            }
        }
    }
    gameOptions = GameOptions{};
}

TEST(CoordinateNotation, LetterAndDigitAreJudgedSeparatelyFromTheFirstTwoCharacters) {
    // clang-format off
    const std::pair<const char*, ScreenPos> words[] = {
        {"a1", {20, 10}}, {"B3", {30, 22}}, {"q8", {180, 52}}, {"a12", {20, 10}},
        {"c5xyz", {40, 34}}, {"z3", {0, 22}}, {"c9", {40, 0}}, {"r1", {0, 10}}, {"1a", {0, 0}},
        {"?1", {0, 10}}, {"\xE4" "1", {0, 10}}, {"a0", {20, 0}}, {"ab", {20, 0}}, {"a", {20, 0}},
        {"", {0, 0}}};
    // clang-format on
    for (const auto& [word, cell] : words) {
        EXPECT_EQ(parseCoordinate(word), cell) << word;
    }
}

TEST(GameRecord, ResetEmptiesEveryListAndCounter) {
    gameState.playerShips[3] = gameState.enemyShips[0] = gameState.playerHits[1] = {20, 10};
    gameState.playerShots[MaxCells - 1] = gameState.enemyShots[5] =
        gameState.enemyHits[2] = {30, 16};
    gameState.playerShotCount = gameState.playerHitCount = gameState.enemyShotCount = 2;
    gameState.enemyHitCount = gameState.boardDrawCount = 3;
    resetGame();
    EXPECT_EQ(gameState, GameState{});
}
