// Words, numbers and keys read from any typing: Backspace and Escape anywhere, overlong
// words, control bytes, arrow keys in the middle of a line, the input ending in the middle of
// a word, and the cursor anywhere when the echo starts (up to the last column of the last
// line). Every read gives what its contract promises, the echo is painted exactly, at every
// read, and a read changes nothing but the cursor's line from the cursor on, where the echo
// stands, and leaves the cursor on that line.

#include "checked_console.h"
#include "console/backend.h"
#include "console/console.h"
#include "console/line_input.h"

#include <limits>

namespace {

bool isBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

void checkWord(const std::string& word) {
    require(!word.empty(), "an empty word");
    require(word.size() <= MaxLineLength, "a word longer than a line");
    for (const char ch : word) {
        const auto byte = static_cast<unsigned char>(ch);
        require(!isBlank(ch), "a blank inside a word");
        require(byte >= 0x20 && byte != 0x7F, "a control byte inside a word");
    }
}

void requireOnlyTheEchoChanged(const Screen& before) {
    const Screen& after = consoleScreen();
    require(after.cursor.y == before.cursor.y, "a read moved the cursor to another line");
    for (int y = 0; y < ConsoleHeight; ++y) {
        for (int x = 0; x < ConsoleWidth; ++x) {
            const bool echoArea = y == before.cursor.y && x >= before.cursor.x;
            require(echoArea || after.at(x, y) == before.at(x, y),
                    "a read changed the screen outside its echo");
        }
    }
}

void checkKey(int key) {
    require(key >= 0 && key < 768, "a key code out of range");
    require(key != 0, "a lone prefix code");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    CheckedConsole console(input);
    try {
        for (;;) {
            const std::uint32_t choice = input.choose(6);
            const Screen before = choice <= 1 ? consoleScreen() : Screen{};
            switch (choice) {
            case 0:
                checkWord(readWord());
                requireOnlyTheEchoChanged(before);
                break;
            case 1:
                // Any 32-bit value, or none; what matters is that the rest of the line goes.
                readNumber();
                requireOnlyTheEchoChanged(before);
                break;
            case 2:
                checkKey(readKey());
                break;
            case 3: {
                const int code = readKeyCode();
                require(code >= 0 && code <= 255, "a key code beyond a byte");
                break;
            }
            case 4:
                moveCursor({static_cast<std::int32_t>(input.choose(ConsoleWidth)),
                            static_cast<std::int32_t>(input.choose(ConsoleHeight))});
                break;
            default:
                setColor(static_cast<ConsoleColor>(input.choose(16)));
                break;
            }
        }
    } catch (const InputEnded&) {
        // The program would have ended here, as at the end of its input.
    }
    return 0;
}
