#include "game/game_state.h"
#include "options/game_options.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct BoardSize {
    int columns;
    int rows;
};

class CoordinateNotation : public ::testing::TestWithParam<BoardSize> {
  protected:
    void SetUp() override {
        gameOptions = GameOptions{};
        gameOptions.columns = GetParam().columns;
        gameOptions.rows = GetParam().rows;
    }
    void TearDown() override { gameOptions = GameOptions{}; }
};

} // namespace

TEST_P(CoordinateNotation, EveryLetterAndDigitNamesItsCellAndOnlyBoardCellsFit) {
    for (int column = 0; column < MaxColumns; ++column) {
        for (int row = 0; row < MaxRows; ++row) {
            const std::string lower{static_cast<char>('a' + column), static_cast<char>('1' + row)};
            const std::string upper{static_cast<char>('A' + column), static_cast<char>('1' + row)};
            const ScreenPos cell = parseCoordinate(lower);
            EXPECT_EQ(cell, cellCentre(column, row)) << lower;
            EXPECT_EQ(parseCoordinate(upper), cell) << upper;
            EXPECT_EQ(isOnBoard(cell), column < GetParam().columns && row < GetParam().rows)
                << lower;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BoardSizes, CoordinateNotation,
                         ::testing::Values(BoardSize{1, 4}, BoardSize{2, 2}, BoardSize{10, 5},
                                           BoardSize{17, 8}));

TEST(CoordinateNotationText, CentresOfCornerCells) {
    EXPECT_EQ(parseCoordinate("a1"), (ScreenPos{20, 10}));
    EXPECT_EQ(parseCoordinate("B3"), (ScreenPos{30, 22}));
    EXPECT_EQ(parseCoordinate("q8"), (ScreenPos{180, 52}));
    EXPECT_EQ(parseCoordinate("j5"), (ScreenPos{110, 34}));
}

TEST(CoordinateNotationText, OnlyTheFirstTwoCharactersCount) {
    EXPECT_EQ(parseCoordinate("a12"), parseCoordinate("a1"));
    EXPECT_EQ(parseCoordinate("c5xyz"), parseCoordinate("c5"));
    const std::string overlong = "d4" + std::string(500, 'x');
    EXPECT_EQ(parseCoordinate(overlong), parseCoordinate("d4"));
}

TEST(CoordinateNotationText, LetterAndDigitAreJudgedSeparately) {
    for (const char* noLetter : {"r1", "z1", "11", "?1",
                                 "\xE4"
                                 "1",
                                 "\xC4"
                                 "1",
                                 "@1", "{1"}) {
        EXPECT_EQ(parseCoordinate(noLetter).x, 0) << noLetter;
        EXPECT_NE(parseCoordinate(noLetter).y, 0) << noLetter;
    }
    for (const char* noDigit : {"a0", "a9", "ab", "a", "aA", "a\xB9"}) {
        EXPECT_NE(parseCoordinate(noDigit).x, 0) << noDigit;
        EXPECT_EQ(parseCoordinate(noDigit).y, 0) << noDigit;
    }
    EXPECT_EQ(parseCoordinate("z3"), (ScreenPos{0, 22}));
    EXPECT_EQ(parseCoordinate("c9"), (ScreenPos{40, 0}));
    EXPECT_EQ(parseCoordinate(""), (ScreenPos{0, 0}));
}

TEST(GameRecord, ResetEmptiesEveryListAndCounter) {
    gameState.playerShips[3] = {20, 10};
    gameState.enemyShips[0] = {30, 10};
    gameState.playerShots[MaxCells - 1] = {180, 52};
    gameState.enemyShots[5] = {40, 16};
    gameState.playerHits[1] = {50, 22};
    gameState.enemyHits[2] = {60, 28};
    gameState.playerShotCount = gameState.playerHitCount = 3;
    gameState.enemyShotCount = gameState.enemyHitCount = 2;
    gameState.boardDrawCount = 7;

    resetGame();

    const GameState empty;
    EXPECT_EQ(gameState, empty);
}
