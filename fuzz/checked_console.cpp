#include "checked_console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool FuzzInput::takeByte(unsigned char& byte) {
    if (empty()) {
        return false;
    }
    byte = data_[front_++];
    return true;
}

std::string FuzzInput::takeBytes(std::size_t maxCount) {
    const std::size_t count = std::min(maxCount, back_ - front_);
    std::string bytes(reinterpret_cast<const char*>(data_ + front_), count);
    front_ += count;
    return bytes;
}

std::uint32_t FuzzInput::choose(std::uint32_t count) {
    if (empty() || count <= 1) {
        return 0;
    }
    std::uint32_t value = 0;
    // As many bytes as the range needs, so that large ranges are reachable.
    for (std::uint32_t range = count - 1; range > 0 && !empty(); range >>= 8) {
        value = (value << 8) | data_[--back_];
    }
    return value % count;
}

std::int32_t FuzzInput::takeInt32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4 && !empty(); ++i) {
        value = (value << 8) | data_[--back_];
    }
    return static_cast<std::int32_t>(value);
}

void require(bool condition, const std::string& message) {
    if (!condition) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::abort();
    }
}

CheckedConsole::CheckedConsole(FuzzInput& input) : input_(input) {
    installConsoleBackend(this);
}

CheckedConsole::~CheckedConsole() {
    installConsoleBackend(nullptr);
}

void CheckedConsole::present(Screen& screen) {
    require(isOnScreen(screen.cursor), "the model's cursor left the screen");
    // Most keys change nothing on screen; when neither the model nor the terminal changed
    // since the last proof, it still holds, and the paint must send nothing.
    const bool unchanged =
        provenKnown_ && !screen.clearPending && screen.cursor == proven_.cursor &&
        screen.cursorVisible == proven_.cursorVisible &&
        std::memcmp(screen.cells.data(), proven_.cells.data(), sizeof screen.cells) == 0;
    paintTerminal(screen, front_, encoder_);
    const std::string& bytes = encoder_.output();
    terminal_.feed(bytes);
    require(!unchanged || bytes.empty(), "an unchanged screen was sent again");
    require(bytes.empty() || (bytes.starts_with("\x1b[?2026h") && bytes.ends_with("\x1b[?2026l")),
            "a paint not framed as one synchronized update");
    // Lines that neither the model nor the terminal changed since the last proof still match.
    std::bitset<ConsoleHeight> lines = terminal_.takeChangedLines();
    for (int y = 0; y < ConsoleHeight; ++y) {
        const std::size_t at = static_cast<std::size_t>(y * ConsoleWidth);
        lines[static_cast<std::size_t>(y)] =
            lines[static_cast<std::size_t>(y)] || !provenKnown_ ||
            std::memcmp(&screen.cells[at], &proven_.cells[at], ConsoleWidth * sizeof(Cell)) != 0;
    }
    if (!unchanged) {
        const std::string difference = terminal_.differenceFrom(screen, lines);
        require(difference.empty(), "the terminal differs from the model: " + difference);
        proven_.cells = screen.cells;
        proven_.cursor = screen.cursor;
        proven_.cursorVisible = screen.cursorVisible;
        provenKnown_ = true;
    }
    for (const std::string& sequence : terminal_.unknown()) {
        require(false, "the painter sent what a terminal does not know: " + sequence);
    }
    require(!screen.clearPending && screen.dirtyLines.none(), "a paint left changes unpainted");
}

std::optional<KeyEvent> CheckedConsole::readKeyEvent() {
    return nextKeyEvent(decoder_, source_);
}

int CheckedConsole::random() {
    return input_.takeInt32() & 0x7FFFFFFF;
}

void CheckedConsole::scramble() {
    front_.known = false;
    encoder_.forget();
    provenKnown_ = false;
    terminal_.feed("\x1b[0m\x1b[2J\x1b[12;40H\x1b[93;40mleft over\x1b[?25l\x1b[0m");
}

ByteRead CheckedConsole::Source::readByte(int waitMs, unsigned char& byte) {
    if (waitMs >= 0 && input_.choose(4) == 0) {
        return ByteRead::Timeout;
    }
    return input_.takeByte(byte) ? ByteRead::Byte : ByteRead::End;
}
