// Any typed word, on any board size, is parsed and classified as the game does it: invalid
// (no column letter or no row digit), too big (off the board), or the centre of the board
// cell it names; only its first two characters count, and the letter's case does not. The
// computer's random cells are always on the board. Words also come through the real word
// reading, from any typing.

#include "board_choice.h"
#include "checked_console.h"
#include "game/coordinate_input.h"
#include "game/game_state.h"
#include "options/game_options.h"

#include <string>

namespace {

const std::string_view Invalid = "Sie haben ungültige Koordinaten eingegeben!"_cp;
const std::string_view TooBig = "So groß ist das Spielfeld nicht!"_cp;

int columnOf(char letter) {
    if (letter >= 'a' && letter <= 'q') {
        return letter - 'a';
    }
    if (letter >= 'A' && letter <= 'Q') {
        return letter - 'A';
    }
    return -1;
}

int rowOf(char digit) {
    return digit >= '1' && digit <= '8' ? digit - '1' : -1;
}

void checkWord(const std::string& word) {
    const ScreenPos cell = parseCoordinate(word);
    require(cell == parseCoordinate(word.substr(0, 2)), "more than two characters counted");
    const int column = word.empty() ? -1 : columnOf(word[0]);
    const int row = word.size() < 2 ? -1 : rowOf(word[1]);
    require((cell.x == 0) == (column < 0), "a column from no column letter, or none from one");
    require((cell.y == 0) == (row < 0), "a row from no row digit, or none from one");

    const std::string_view fault = boardFault(cell);
    if (column < 0 || row < 0) {
        require(fault == Invalid, "an invalid word not refused as invalid");
    } else if (column >= gameOptions.columns || row >= gameOptions.rows) {
        require(fault == TooBig, "a cell off the board not refused as too big");
    } else {
        require(fault.empty(), "a board cell refused");
        require(cell == cellCentre(column, row), "a board cell at the wrong centre");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    CheckedConsole console(input);
    chooseBoardSize(input);
    try {
        while (!input.empty()) {
            switch (input.choose(3)) {
            case 0:
                checkWord(input.takeBytes(input.choose(24)));
                break;
            case 1: {
                const std::string name = drawRandomCellName();
                require(name.size() == 2, "a random cell name that is no letter and digit");
                require(boardFault(parseCoordinate(name)).empty(), "a random cell off the board");
                break;
            }
            default: {
                // The word a prompt reads; its text is only available through the parse.
                const ScreenPos cell = readCoordinate();
                require(cell.x == 0 || boardColumnAt(cell.x) >= 0,
                        "a typed column that is no column");
                require(cell.y == 0 || boardRowAt(cell.y) >= 0, "a typed row that is no row");
                break;
            }
            }
        }
    } catch (const InputEnded&) {
        // The input ran out in a read, where the program would have ended.
    }
    gameOptions = GameOptions{};
    return 0;
}
