#include "console/virtual_console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

VirtualConsole::VirtualConsole() {
    installConsoleBackend(this);
}

VirtualConsole::~VirtualConsole() {
    installConsoleBackend(nullptr);
}

void VirtualConsole::type(std::string_view bytes) {
    for (const char ch : bytes) {
        input_.push_back(static_cast<unsigned char>(ch));
    }
}

void VirtualConsole::typeLine(std::string_view text) {
    type(text);
    type(keys::Enter);
}

void VirtualConsole::pressEscape() {
    input_.push_back(0x1B);
    input_.push_back(-1);
}

void VirtualConsole::typeAfterDrop(std::string_view bytes) {
    input_.push_back(DropMark);
    type(bytes);
}

void VirtualConsole::scriptRandom(std::initializer_list<int> numbers) {
    randomNumbers_.insert(randomNumbers_.end(), numbers.begin(), numbers.end());
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
    ++presentCount;
    screen.dirtyLines.reset();
    screen.clearPending = false;
}

std::optional<KeyEvent> VirtualConsole::readKeyEvent() {
    if (onKeyWait) {
        onKeyWait();
    }
    return nextKeyEvent(decoder_, source_);
}

void VirtualConsole::dropPendingKeys() {
    const auto mark = std::find(input_.begin(), input_.end(), DropMark);
    input_.erase(input_.begin(), mark == input_.end() ? mark : mark + 1);
    decoder_.dropPending();
}

void VirtualConsole::sleep(int milliseconds) {
    if (onPause) {
        onPause(milliseconds);
    }
    pauses.push_back(milliseconds);
}

int VirtualConsole::random() {
    if (!randomNumbers_.empty()) {
        const int number = randomNumbers_.front();
        randomNumbers_.pop_front();
        return number;
    }
    // A small linear congruential generator: the same numbers in every test run.
    randomState_ = randomState_ * 1103515245u + 12345u;
    return static_cast<int>((randomState_ >> 16) & 0x7FFF);
}

ByteRead VirtualConsole::ScriptSource::readByte(int waitMs, unsigned char& byte) {
    while (!input_.empty() && input_.front() < 0) {
        input_.pop_front();
        if (waitMs >= 0) {
            return ByteRead::Timeout;
        }
    }
    if (input_.empty()) {
        return ByteRead::End;
    }
    byte = static_cast<unsigned char>(input_.front());
    input_.pop_front();
    return ByteRead::Byte;
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
