#include "console/screen.h"

#include <algorithm>

bool isOnScreen(ScreenPos pos) {
    return pos.x >= 0 && pos.x < ConsoleWidth && pos.y >= 0 && pos.y < ConsoleHeight;
}

void modelMoveCursor(Screen& screen, ScreenPos pos) {
    // The console refuses positions outside its buffer and keeps the cursor where it was.
    if (isOnScreen(pos)) {
        screen.cursor = pos;
    }
}

void modelClear(Screen& screen) {
    std::fill(screen.cells.begin(), screen.cells.end(), Cell{' ', screen.color});
    screen.cursor = {0, 0};
    screen.clearPending = true;
    screen.clearColor = screen.color;
    // The painter clears the terminal as a whole; no line needs a look of its own.
    screen.dirtyLines.reset();
}

static void scrollUp(Screen& screen) {
    std::copy(screen.cells.begin() + ConsoleWidth, screen.cells.end(), screen.cells.begin());
    std::fill(screen.cells.end() - ConsoleWidth, screen.cells.end(), Cell{' ', screen.color});
    screen.dirtyLines.set();
}

static void newLine(Screen& screen) {
    screen.cursor.x = 0;
    if (screen.cursor.y == ConsoleHeight - 1) {
        scrollUp(screen);
    } else {
        ++screen.cursor.y;
    }
}

void modelWrite(Screen& screen, std::string_view text) {
    for (const char ch : text) {
        screen.at(screen.cursor.x, screen.cursor.y) = {static_cast<unsigned char>(ch),
                                                       screen.color};
        screen.dirtyLines.set(static_cast<std::size_t>(screen.cursor.y));
        if (++screen.cursor.x == ConsoleWidth) {
            newLine(screen);
        }
    }
}
