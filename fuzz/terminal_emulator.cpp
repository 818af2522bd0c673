#include "terminal_emulator.h"

#include "console/cp1252.h"

#include <algorithm>
#include <sstream>

TerminalEmulator::TerminalEmulator() : cells_(ConsoleWidth * ConsoleHeight) {}

void TerminalEmulator::print(char32_t ch) {
    if (pendingWrap_) {
        pendingWrap_ = false;
        x_ = 0;
        if (++y_ == ConsoleHeight) {
            std::rotate(cells_.begin(), cells_.begin() + ConsoleWidth, cells_.end());
            std::fill(cells_.end() - ConsoleWidth, cells_.end(),
                      EmulatedCell{U' ', foreground_, blackBackground_});
            y_ = ConsoleHeight - 1;
        }
    }
    cells_[static_cast<std::size_t>(y_ * ConsoleWidth + x_)] = {ch, foreground_, blackBackground_};
    if (x_ == ConsoleWidth - 1) {
        pendingWrap_ = true; // like xterm: the wrap waits for the next character
    } else {
        ++x_;
    }
}

static std::vector<int> numbers(const std::string& parameters) {
    std::vector<int> values;
    std::stringstream in(parameters);
    std::string item;
    while (std::getline(in, item, ';')) {
        values.push_back(item.empty() ? 0 : std::stoi(item));
    }
    return values;
}

// ANSI numbers its colours red 1, green 2, blue 4; the console blue 1, green 2, red 4.
static int consoleColorOf(int ansi) {
    return ((ansi & 1) ? 4 : 0) | (ansi & 2) | ((ansi & 4) ? 1 : 0);
}

void TerminalEmulator::control(char final, const std::string& parameters) {
    const std::vector<int> values =
        parameters.starts_with('?') ? std::vector<int>{} : numbers(parameters);
    auto value = [&](std::size_t i, int fallback) {
        return i < values.size() && values[i] > 0 ? values[i] : fallback;
    };
    pendingWrap_ = pendingWrap_ && (final == 'm' || final == 'l' || final == 'h' || final == 't');
    switch (final) {
    case 'H':
        y_ = std::clamp(value(0, 1) - 1, 0, ConsoleHeight - 1);
        x_ = std::clamp(value(1, 1) - 1, 0, ConsoleWidth - 1);
        return;
    case 'C':
        x_ = std::min(x_ + value(0, 1), ConsoleWidth - 1);
        return;
    case 'J':
        if (value(0, 0) == 2) {
            std::fill(cells_.begin(), cells_.end(),
                      EmulatedCell{U' ', foreground_, blackBackground_});
            return;
        }
        break;
    case 'm':
        for (const int code : values.empty() ? std::vector<int>{0} : values) {
            if (code == 0) {
                foreground_ = -1;
                blackBackground_ = false;
            } else if (code >= 30 && code <= 37) {
                foreground_ = consoleColorOf(code - 30);
            } else if (code >= 90 && code <= 97) {
                foreground_ = consoleColorOf(code - 90) + 8;
            } else if (code == 40) {
                blackBackground_ = true;
            } else {
                unknown_.push_back("SGR " + std::to_string(code));
            }
        }
        return;
    case 'h':
    case 'l':
        if (parameters == "?25") {
            visible_ = final == 'h';
            return;
        }
        break;
    case 't':
        return; // window operations do not change the screen
    default:
        break;
    }
    unknown_.push_back("CSI " + parameters + final);
}

void TerminalEmulator::feed(std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (state_) {
        case State::Escape:
            if (byte == '[') {
                state_ = State::Csi;
                sequence_.clear();
            } else if (byte == ']') {
                state_ = State::Osc;
            } else {
                unknown_.push_back(std::string("ESC ") + c);
                state_ = State::Text;
            }
            continue;
        case State::Csi:
            if (byte >= 0x40 && byte <= 0x7E) {
                state_ = State::Text;
                control(c, sequence_);
            } else {
                sequence_.push_back(c);
            }
            continue;
        case State::Osc:
            if (byte == 0x07) {
                state_ = State::Text;
            }
            continue;
        case State::Text:
            break;
        }
        if (utf8Missing_ > 0) {
            utf8_ = (utf8_ << 6) | (byte & 0x3F);
            if (--utf8Missing_ == 0) {
                print(utf8_);
            }
        } else if (byte == 0x1B) {
            state_ = State::Escape;
        } else if (byte == '\r') {
            x_ = 0;
            pendingWrap_ = false;
        } else if (byte == '\n') {
            y_ = std::min(y_ + 1, ConsoleHeight - 1);
            pendingWrap_ = false;
        } else if (byte < 0x20 || byte == 0x7F) {
            unknown_.push_back("control " + std::to_string(byte));
        } else if (byte >= 0xF0) {
            utf8_ = byte & 0x07;
            utf8Missing_ = 3;
        } else if (byte >= 0xE0) {
            utf8_ = byte & 0x0F;
            utf8Missing_ = 2;
        } else if (byte >= 0xC0) {
            utf8_ = byte & 0x1F;
            utf8Missing_ = 1;
        } else {
            print(byte);
        }
    }
}

char32_t TerminalEmulator::shownFor(unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F) {
        return U'?';
    }
    if (byte < 0x80 || byte >= 0xA0) {
        return byte;
    }
    const char32_t letter = cp1252::toUnicode(byte);
    return letter == 0 ? U'?' : letter;
}

std::string TerminalEmulator::differenceFrom(const Screen& model) const {
    for (int y = 0; y < ConsoleHeight; ++y) {
        for (int x = 0; x < ConsoleWidth; ++x) {
            const Cell& wanted = model.at(x, y);
            const EmulatedCell& shown = at(x, y);
            const int foreground = wanted.color == DefaultColor ? -1 : wanted.color;
            if (shown.ch != shownFor(wanted.ch) || shown.foreground != foreground ||
                shown.blackBackground != (wanted.color != DefaultColor)) {
                std::ostringstream out;
                out << "cell (" << x << ", " << y << "): model byte " << int(wanted.ch)
                    << " colour " << int(wanted.color) << ", terminal U+" << std::hex
                    << unsigned(shown.ch) << std::dec << " colour " << shown.foreground
                    << (shown.blackBackground ? " on black" : " on default");
                return out.str();
            }
        }
    }
    if (!(cursor() == model.cursor)) {
        return "cursor at (" + std::to_string(x_) + ", " + std::to_string(y_) + "), model at (" +
               std::to_string(model.cursor.x) + ", " + std::to_string(model.cursor.y) + ")";
    }
    if (visible_ != model.cursorVisible) {
        return "cursor visibility differs";
    }
    return {};
}
