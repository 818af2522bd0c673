#include "console/line_input.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

bool isBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// The echo of a line being typed: it starts at the cursor and is clipped at the right edge,
// so that it never wraps onto another line or scrolls the screen. What it covers comes back
// as the typing is taken back.
class Echo {
  public:
    explicit Echo(Screen& screen)
        : screen_(screen), start_(screen.cursor),
          covered_(&screen.at(start_.x, start_.y), &screen.at(ConsoleWidth - 1, start_.y) + 1) {}

    // Shows the line's text over what it covers, and the rest as it was.
    void show(const std::string& line) {
        for (std::size_t i = 0; i < covered_.size(); ++i) {
            Cell& cell = screen_.at(start_.x + static_cast<int>(i), start_.y);
            cell = covered_[i];
            if (i < line.size()) {
                cell = {static_cast<unsigned char>(line[i] == '\t' ? ' ' : line[i]), screen_.color};
            }
        }
        screen_.dirtyLines.set(static_cast<std::size_t>(start_.y));
        const std::size_t room = covered_.size() - 1;
        screen_.cursor = {start_.x + static_cast<int>(std::min(line.size(), room)), start_.y};
    }

  private:
    Screen& screen_;
    ScreenPos start_;
    std::vector<Cell> covered_;
};

bool isTypable(const KeyEvent& key) {
    // Control codes and the arrow and function keys are not text; Tab separates words like
    // a blank, as in the console's own line input.
    return key.second < 0 && (key.first == '\t' || (key.first >= 0x20 && key.first != 0x7F)) &&
           key.first <= 0xFF;
}

} // namespace

std::optional<std::string> editLine(Screen& screen,
                                    const std::function<std::optional<KeyEvent>()>& nextKey) {
    Echo echo(screen);
    std::string line;
    for (;;) {
        const std::optional<KeyEvent> key = nextKey();
        if (!key || *key == keycode::Enter) {
            // A typed word stays on screen, as the console leaves it; a line of blanks goes,
            // and the next line is typed in the same place.
            if (line.find_first_not_of(" \t") == std::string::npos) {
                echo.show("");
            }
            if (!key && line.empty()) {
                return std::nullopt;
            }
            return line;
        }
        if (*key == keycode::Backspace && !line.empty()) {
            line.pop_back();
        } else if (*key == keycode::Escape) {
            line.clear();
        } else if (isTypable(*key) && line.size() < MaxLineLength) {
            line.push_back(static_cast<char>(key->first));
        }
        echo.show(line);
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
