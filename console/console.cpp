#include "console/console.h"

#include "console/backend.h"
#include "console/line_input.h"

#include <cstdlib>

namespace {

Screen gScreen;
ConsoleBackend* gBackend = nullptr;
// The second code of a two-code key whose first code readKeyCode has handed out.
int gLeftoverCode = -1;
TypedAhead gTypedAhead;
// Ctrl+L, which no screen sees.
constexpr KeyEvent RepaintKey{12, -1};

// The input has ended: the program ends as if its window had been closed.
[[noreturn]] void endOfInput() {
    endProgram();
}

// The one way out of the program. Only the signals, a lost output and Ctrl+C read as a key
// end it elsewhere, each after handing the console back.
[[noreturn]] void handBackAndEnd() {
    gBackend->restore();
    std::exit(0);
}

// Shows the model; a backend that was told to end while it waited ends the program here.
void present() {
    gBackend->present(gScreen);
    if (gBackend->ended()) {
        handBackAndEnd();
    }
}

std::optional<KeyEvent> nextKey() {
    if (gLeftoverCode >= 0) {
        const KeyEvent key{gLeftoverCode, -1};
        gLeftoverCode = -1;
        return key;
    }
    for (;;) {
        present();
        const std::optional<KeyEvent> key = gBackend->readKeyEvent();
        if (key != RepaintKey) {
            return key;
        }
        // As in every full-screen program: whatever else wrote on the terminal is painted over.
        gBackend->forgetWhatTheConsoleShows();
    }
}

KeyEvent nextKeyOrEnd() {
    const std::optional<KeyEvent> key = nextKey();
    if (!key) {
        endOfInput();
    }
    return *key;
}

// Makes sure a word or number waits in the typed-ahead text, reading lines as needed.
void awaitTypedText() {
    while (!gTypedAhead.skipBlanks()) {
        const std::optional<std::string> line = editLine(gScreen, nextKey);
        if (!line) {
            endOfInput();
        }
        gTypedAhead.addLine(*line);
    }
}

} // namespace

int ConsoleBackend::random() {
    return std::rand();
}

void installConsoleBackend(ConsoleBackend* backend) {
    gBackend = backend;
    gScreen = Screen{};
    gLeftoverCode = -1;
    gTypedAhead.clear();
}

Screen& consoleScreen() {
    return gScreen;
}

void setupConsole() {
    gBackend->setup();
    if (gBackend->ended()) {
        handBackAndEnd();
    }
}

void moveCursor(ScreenPos pos) {
    modelMoveCursor(gScreen, pos);
}

void setColor(ConsoleColor color) {
    gScreen.color = color;
}

void setCursorVisible(bool visible) {
    gScreen.cursorVisible = visible;
}

void clearScreen() {
    modelClear(gScreen);
}

void writeAt(ScreenPos pos, std::string_view text) {
    moveCursor(pos);
    modelWrite(gScreen, text);
}

void writeText(std::string_view text) {
    modelWrite(gScreen, text);
}

void blankLine(int y, int fromX) {
    for (int x = fromX; x < ConsoleWidth; ++x) {
        writeAt({x, y}, " ");
    }
}

void writeNumber(int value) {
    modelWrite(gScreen, std::to_string(value));
}

int readKey() {
    return foldKey(nextKeyOrEnd());
}

int readKeyCode() {
    const KeyEvent key = nextKeyOrEnd();
    gLeftoverCode = key.second;
    return key.first;
}

std::string readWord() {
    awaitTypedText();
    return gTypedAhead.takeWord();
}

std::optional<std::int32_t> readNumber() {
    awaitTypedText();
    const std::optional<std::int32_t> number = gTypedAhead.takeNumber();
    gTypedAhead.discardLine();
    return number;
}

void dropTypedAhead() {
    gTypedAhead.clear();
    gLeftoverCode = -1;
    gBackend->dropPendingKeys();
}

void pause(int milliseconds) {
    present();
    gBackend->sleep(milliseconds);
}

void seedRandom(std::uint32_t seed) {
    std::srand(seed);
}

int drawRandom() {
    return gBackend->random();
}

void endProgram() {
    gBackend->present(gScreen);
    handBackAndEnd();
}
