#include "support/virtual_console.h"

#include <cstdio>
#include <cstdlib>

VirtualConsole::VirtualConsole() {
    installConsoleBackend(this);
}

VirtualConsole::~VirtualConsole() {
    installConsoleBackend(nullptr);
}

std::string VirtualConsole::textAt(ScreenPos pos, int length) const {
    std::string text;
    for (int i = 0; i < length && isOnScreen({pos.x + i, pos.y}); ++i) {
        text.push_back(static_cast<char>(screen().at(pos.x + i, pos.y).ch));
    }
    return text;
}

std::string VirtualConsole::line(int y) const {
    std::string text = textAt({0, y}, ConsoleWidth);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::uint8_t VirtualConsole::colorAt(ScreenPos pos) const {
    return screen().at(pos.x, pos.y).color;
}

bool VirtualConsole::shows(ScreenPos pos, std::string_view text, std::uint8_t color) const {
    if (textAt(pos, static_cast<int>(text.size())) != text) {
        return false;
    }
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
        if (colorAt({pos.x + i, pos.y}) != color) {
            return false;
        }
    }
    return true;
}

void VirtualConsole::present(Screen& screen) {
    screen.dirtyLines.reset();
    screen.clearPending = false;
}

std::optional<KeyEvent> VirtualConsole::readKeyEvent() {
    if (onKeyWait) {
        onKeyWait();
    }
    return input_.nextKey();
}

void VirtualConsole::dropPendingKeys() {
    input_.drop();
}

void VirtualConsole::sleep(int milliseconds) {
    if (onPause) {
        onPause(milliseconds);
    }
    pauses.push_back(milliseconds);
}

void VirtualConsole::restore() {
    if (programEndExpected_) {
        return;
    }
    std::fputs("The program ended in the middle of a test: the scripted input ran out, or the "
               "program quit. Script more input, or expect the end with expectProgramEnd() "
               "inside EXPECT_EXIT.\n",
               stderr);
    std::abort();
}
