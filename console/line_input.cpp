#include "console/line_input.h"

#include <climits>

namespace {

bool isBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

void eraseLastEcho(Screen& screen) {
    modelStepBack(screen);
    const ScreenPos at = screen.cursor;
    modelWrite(screen, " ");
    screen.cursor = at;
}

bool isTypable(const KeyEvent& key) {
    // Control codes and the arrow and function keys are not text; Tab separates words like
    // a blank, as in the console's own line input.
    return key.second < 0 && (key.first == '\t' || (key.first >= 0x20 && key.first != 0x7F)) &&
           key.first <= 0xFF;
}

} // namespace

std::optional<std::string> editLine(Screen& screen,
                                    const std::function<std::optional<KeyEvent>()>& nextKey) {
    std::string line;
    for (;;) {
        const std::optional<KeyEvent> key = nextKey();
        if (!key) {
            if (line.empty()) {
                return std::nullopt;
            }
            return line;
        }
        if (key->second < 0 && key->first == 13) {
            modelNewLine(screen);
            return line;
        }
        if (key->second < 0 && key->first == 8) {
            if (!line.empty()) {
                line.pop_back();
                eraseLastEcho(screen);
            }
        } else if (key->second < 0 && key->first == 27) {
            for (; !line.empty(); line.pop_back()) {
                eraseLastEcho(screen);
            }
        } else if (isTypable(*key) && line.size() < MaxLineLength) {
            const char ch = static_cast<char>(key->first);
            line.push_back(ch);
            modelWrite(screen, ch == '\t' ? std::string_view(" ") : std::string_view(&ch, 1));
        }
    }
}

bool TypedAhead::skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) {
        ++pos_;
    }
    return pos_ < text_.size();
}

std::string TypedAhead::takeWord() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isBlank(text_[pos_])) {
        ++pos_;
    }
    return text_.substr(start, pos_ - start);
}

std::optional<std::int32_t> TypedAhead::takeNumber() {
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
        negative = text_[pos_] == '-';
        ++pos_;
    }
    long long value = 0;
    bool digits = false;
    bool tooBig = false;
    for (; pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; ++pos_) {
        digits = true;
        if (!tooBig) {
            value = value * 10 + (text_[pos_] - '0');
            tooBig = value > static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (!digits || tooBig || value > INT_MAX || value < INT_MIN) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

void TypedAhead::discardLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n') {
        ++pos_;
    }
    if (pos_ < text_.size()) {
        ++pos_;
    }
}
