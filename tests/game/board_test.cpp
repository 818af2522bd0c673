#include "game/board.h"
#include "game_screen_test.h"

using BoardDrawing = GameScreenTest;

TEST_F(BoardDrawing, LabelsGridAndCoordinatesFollowTheBoardSize) {
    for (const auto& [columns, rows] : {std::pair{1, 4}, {2, 2}, {10, 5}, {17, 8}}) {
        SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
        useBoard(columns, rows);
        clearScreen();
        drawBoard(BoardView::Own);
        const int right = 10 * columns + 15;
        const int bottom = 6 * rows + 7;
        // Everything above the message area: grid, letters, numbers, or blank.
        for (int y = 1; y < MessageLine; ++y) {
            for (int x = 0; x < ConsoleWidth; ++x) {
                std::pair<char, std::uint8_t> expected{' ', 0};
                if (x >= 10 && x <= right && y >= 4 && y <= bottom &&
                    ((x - 15) % 10 == 0 || (y - 7) % 6 == 0)) {
                    expected = {'#', BrightWhite};
                } else if (y == 4 && x >= 20 && x < right + 5 && x % 10 == 0) {
                    expected = {static_cast<char>('A' + (x - 20) / 10), LightCyan};
                } else if (x == 10 && y >= 10 && y < bottom + 3 && (y - 10) % 6 == 0) {
                    expected = {static_cast<char>('1' + (y - 10) / 6), LightCyan};
                }
                ASSERT_EQ(console.textAt({x, y}, 1)[0], expected.first) << x << "," << y;
                if (expected.first != ' ') {
                    ASSERT_EQ(console.colorAt({x, y}), expected.second) << x << "," << y;
                }
            }
        }
        for (int column = 0; column < MaxColumns; ++column) {
            for (int row = 0; row < MaxRows; ++row) {
                const std::string name{char('a' + column), char('1' + row)};
                const ScreenPos cell = parseCoordinate(name);
                EXPECT_EQ(cell, cellCentre(column, row)) << name;
                EXPECT_EQ(parseCoordinate(std::string{char('A' + column), name[1]}), cell);
                EXPECT_EQ(isOnBoard(cell), column < columns && row < rows) << name;
            }
        }
    }
}

TEST(CoordinateNotation, LetterAndDigitAreJudgedSeparatelyFromTheFirstTwoCharacters) {
    // clang-format off
    const std::pair<const char*, ScreenPos> words[] = {
        {"a1", {20, 10}}, {"B3", {30, 22}}, {"q8", {180, 52}}, {"a12", {20, 10}},
        {"c5xyz", {40, 34}}, {"z3", {0, 22}}, {"c9", {40, 0}}, {"r1", {0, 10}}, {"1a", {0, 0}},
        {"?1", {0, 10}}, {"\xE4" "1", {0, 10}}, {"a0", {20, 0}}, {"a", {20, 0}}, {"", {0, 0}}};
    // clang-format on
    for (const auto& [word, cell] : words) {
        EXPECT_EQ(parseCoordinate(word), cell) << word;
    }
}
