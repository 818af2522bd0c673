#include "checked_console.h"

#include <array>
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

namespace {

// The same comparison as TerminalEmulator::differenceFrom, without building a message: it runs
// before every key the target types, so it has to be quick.
bool showsModel(const TerminalEmulator& terminal, const Screen& model) {
    static const std::array<char32_t, 256> displayed = [] {
        std::array<char32_t, 256> table{};
        for (int byte = 0; byte < 256; ++byte) {
            table[static_cast<std::size_t>(byte)] =
                TerminalEmulator::shownFor(static_cast<unsigned char>(byte));
        }
        return table;
    }();
    const EmulatedCell* shownCells = &terminal.at(0, 0);
    for (std::size_t i = 0; i < model.cells.size(); ++i) {
        const Cell& wanted = model.cells[i];
        const EmulatedCell& shown = shownCells[i];
        const int foreground = wanted.color == DefaultColor ? -1 : wanted.color;
        if (shown.ch != displayed[wanted.ch] || shown.foreground != foreground ||
            shown.blackBackground != (wanted.color != DefaultColor)) {
            return false;
        }
    }
    return terminal.cursor() == model.cursor && terminal.cursorVisible() == model.cursorVisible;
}

} // namespace

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
        proven_.known && !screen.clearPending && screen.cursor == proven_.cursor &&
        screen.cursorVisible == proven_.cursorVisible &&
        std::memcmp(screen.cells.data(), proven_.cells.data(), sizeof screen.cells) == 0;
    encoder_.output().clear();
    paintChanges(screen, front_, encoder_);
    terminal_.feed(encoder_.output());
    require(!unchanged || encoder_.output().empty(), "an unchanged screen was sent again");
    if (!unchanged) {
        if (!showsModel(terminal_, screen)) {
            require(false,
                    "the terminal differs from the model: " + terminal_.differenceFrom(screen));
        }
        proven_.cells = screen.cells;
        proven_.cursor = screen.cursor;
        proven_.cursorVisible = screen.cursorVisible;
        proven_.known = true;
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
    proven_.known = false;
    terminal_.feed("\x1b[0m\x1b[2J\x1b[12;40H\x1b[93;40mleft over\x1b[?25l\x1b[0m");
}

ByteRead CheckedConsole::Source::readByte(int waitMs, unsigned char& byte) {
    if (waitMs >= 0 && input_.choose(4) == 0) {
        return ByteRead::Timeout;
    }
    return input_.takeByte(byte) ? ByteRead::Byte : ByteRead::End;
}
