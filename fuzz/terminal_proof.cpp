#include "terminal_proof.h"

#include "console/cp1252.h"

#include <algorithm>
#include <sstream>
#include <vterm.h>

namespace {

// ANSI numbers its colours red 1, green 2, blue 4; the console blue 1, green 2, red 4.
int consoleColorOf(int ansi) {
    return ((ansi & 1) ? 4 : 0) | (ansi & 2) | ((ansi & 4) ? 1 : 0) | (ansi & 8);
}

// -1 for the terminal's own colour, else the console colour; -2 for any other.
int colorOf(const VTermColor& color, bool background) {
    if (background ? VTERM_COLOR_IS_DEFAULT_BG(&color) : VTERM_COLOR_IS_DEFAULT_FG(&color)) {
        return -1;
    }
    if (!VTERM_COLOR_IS_INDEXED(&color) || color.indexed.idx > 15) {
        return -2;
    }
    return consoleColorOf(color.indexed.idx);
}

} // namespace

TerminalProof::TerminalProof() : terminal_(vterm_new(ConsoleHeight, ConsoleWidth)) {
    vterm_set_utf8(terminal_, 1);
    screen_ = vterm_obtain_screen(terminal_);
    static const VTermScreenCallbacks callbacks = [] {
        VTermScreenCallbacks c{};
        c.settermprop = [](VTermProp prop, VTermValue* value, void* self) {
            return onTermProp(prop, value, self);
        };
        c.damage = [](VTermRect rect, void* self) {
            return onDamage(rect.start_row, rect.end_row, self);
        };
        return c;
    }();
    static const VTermParserCallbacks fallbacks = [] {
        VTermParserCallbacks c{};
        c.csi = onUnknownCsi;
        return c;
    }();
    vterm_screen_set_callbacks(screen_, &callbacks, this);
    vterm_screen_set_unrecognised_fallbacks(screen_, &fallbacks, this);
    vterm_screen_reset(screen_, 1);
}

TerminalProof::~TerminalProof() {
    vterm_free(terminal_);
}

int TerminalProof::onTermProp(int prop, void* value, void* self) {
    if (prop == VTERM_PROP_CURSORVISIBLE) {
        static_cast<TerminalProof*>(self)->cursorVisible_ =
            static_cast<VTermValue*>(value)->boolean != 0;
    }
    return 1;
}

int TerminalProof::onDamage(int startRow, int endRow, void* self) {
    for (int row = std::max(startRow, 0); row < std::min(endRow, ConsoleHeight); ++row) {
        static_cast<TerminalProof*>(self)->changedLines_.set(static_cast<std::size_t>(row));
    }
    return 1;
}

std::bitset<ConsoleHeight> TerminalProof::takeChangedLines() {
    const std::bitset<ConsoleHeight> lines = changedLines_;
    changedLines_.reset();
    return lines;
}

int TerminalProof::onUnknownCsi(const char* leader, const long args[], int argcount,
                                const char* intermed, char command, void* self) {
    std::string sequence = "CSI ";
    sequence += leader ? leader : "";
    for (int i = 0; i < argcount; ++i) {
        if (i > 0) {
            sequence += ';';
        }
        sequence += std::to_string(CSI_ARG(args[i]));
    }
    sequence += intermed ? intermed : "";
    sequence += command;
    static_cast<TerminalProof*>(self)->unknown_.push_back(sequence);
    return 1;
}

void TerminalProof::feed(std::string_view bytes) {
    vterm_input_write(terminal_, bytes.data(), bytes.size());
}

char32_t TerminalProof::shownFor(unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F) {
        return U'?';
    }
    if (byte < 0x80 || byte >= 0xA0) {
        return byte;
    }
    const char32_t letter = cp1252::toUnicode(byte);
    return letter == 0 ? U'?' : letter;
}

std::string TerminalProof::differenceFrom(const Screen& model,
                                          std::bitset<ConsoleHeight> lines) const {
    for (int y = 0; y < ConsoleHeight; ++y) {
        if (!lines.test(static_cast<std::size_t>(y))) {
            continue;
        }
        for (int x = 0; x < ConsoleWidth; ++x) {
            VTermScreenCell shown{};
            vterm_screen_get_cell(screen_, VTermPos{y, x}, &shown);
            const char32_t ch = shown.chars[0] == 0 ? U' ' : shown.chars[0];
            const int foreground = colorOf(shown.fg, false);
            const int background = colorOf(shown.bg, true);
            const Cell& wanted = model.at(x, y);
            const bool wantedBlack = wanted.color != DefaultColor;
            const bool alike = wanted.ch == ' '
                                   ? ch == U' ' && background == (wantedBlack ? 0 : -1)
                                   : ch == shownFor(wanted.ch) &&
                                         background == (wantedBlack ? 0 : -1) &&
                                         foreground == (wantedBlack ? wanted.color : -1);
            if (!alike) {
                std::ostringstream out;
                out << "cell (" << x << ", " << y << "): model byte " << int(wanted.ch)
                    << " colour " << int(wanted.color) << ", terminal U+" << std::hex
                    << unsigned(ch) << std::dec << " colour " << foreground << " on " << background;
                return out.str();
            }
        }
    }
    VTermPos cursor{};
    vterm_state_get_cursorpos(vterm_obtain_state(terminal_), &cursor);
    if (cursor.col != model.cursor.x || cursor.row != model.cursor.y) {
        return "cursor at (" + std::to_string(cursor.col) + ", " + std::to_string(cursor.row) +
               "), model at (" + std::to_string(model.cursor.x) + ", " +
               std::to_string(model.cursor.y) + ")";
    }
    if (cursorVisible_ != model.cursorVisible) {
        return "cursor visibility differs";
    }
    return {};
}
