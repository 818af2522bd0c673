#pragma once

// A small VT terminal for the fuzz targets: it understands exactly the sequences a terminal
// must understand to show what the painter sends, and keeps the resulting screen, so that it
// can be compared with the screen model cell by cell.

#include "console/screen.h"

#include <string>
#include <string_view>
#include <vector>

struct EmulatedCell {
    char32_t ch = U' ';
    int foreground = -1; // -1: the terminal's default
    bool blackBackground = false;
};

class TerminalEmulator {
  public:
    TerminalEmulator();
    void feed(std::string_view bytes);

    const EmulatedCell& at(int x, int y) const {
        return cells_[static_cast<std::size_t>(y * ConsoleWidth + x)];
    }
    ScreenPos cursor() const { return {x_, y_}; }
    bool cursorVisible() const { return visible_; }
    // Sequences the emulator did not understand, for tests to check there are none.
    const std::vector<std::string>& unknown() const { return unknown_; }

    // Empty when the terminal shows what the model holds; else where and how it differs.
    std::string differenceFrom(const Screen& model) const;
    // What a terminal must show for a byte of the model, worked out apart from the painter:
    // ASCII and Latin-1 letters as themselves, the letters Windows-1252 puts at 0x80 to 0x9F
    // as theirs, and '?' for control bytes and the bytes Windows-1252 leaves undefined.
    static char32_t shownFor(unsigned char byte);

  private:
    void print(char32_t ch);
    void control(char final, const std::string& parameters);

    std::vector<EmulatedCell> cells_;
    int x_ = 0;
    int y_ = 0;
    bool pendingWrap_ = false;
    bool visible_ = true;
    int foreground_ = -1;
    bool blackBackground_ = false;
    std::string sequence_;
    enum class State { Text, Escape, Csi, Osc } state_ = State::Text;
    char32_t utf8_ = 0;
    int utf8Missing_ = 0;
    std::vector<std::string> unknown_;
};
