#include "console/vt_output.h"

std::string sgrFor(std::uint8_t color) {
    if (color == DefaultColor) {
        return "\x1b[0m";
    }
    const int ansi = ((color & 4) ? 1 : 0) | ((color & 2) ? 2 : 0) | ((color & 1) ? 4 : 0);
    const int base = (color & 8) ? 90 : 30;
    return "\x1b[" + std::to_string(base + ansi) + ";40m";
}

void VtEncoder::forget() {
    at_ = {-1, -1};
    color_ = -1;
    visible_ = -1;
}

void VtEncoder::useColor(std::uint8_t color) {
    if (color_ != color) {
        out_ += sgrFor(color);
        color_ = color;
    }
}

void VtEncoder::moveTo(ScreenPos pos) {
    if (at_ == pos) {
        return;
    }
    if (at_.y == pos.y && at_.x >= 0 && pos.x > at_.x) {
        out_ += "\x1b[" + std::to_string(pos.x - at_.x) + "C";
    } else if (pos.x == 0) {
        out_ += "\x1b[" + std::to_string(pos.y + 1) + "H";
    } else {
        out_ += "\x1b[" + std::to_string(pos.y + 1) + ";" + std::to_string(pos.x + 1) + "H";
    }
    at_ = pos;
}

void VtEncoder::clear(std::uint8_t color) {
    useColor(color);
    if (mayErase_ || color == DefaultColor) {
        // Erasing takes the current background, so the cleared screen has the colour's black.
        out_ += "\x1b[H\x1b[2J";
        at_ = {0, 0};
        return;
    }
    for (int y = 0; y < ConsoleHeight; ++y) {
        out_ += "\x1b[" + std::to_string(y + 1) + "H";
        out_.append(ConsoleWidth, ' ');
    }
    at_ = {-1, -1}; // waiting to wrap after the last column
}

void VtEncoder::cells(ScreenPos start, const Cell* cells, int count) {
    moveTo(start);
    for (int i = 0; i < count; ++i) {
        useColor(cells[i].color);
        charset::append(out_, displayedCharacter(cells[i].ch), charset_);
    }
    at_.x += count;
    if (at_.x >= ConsoleWidth) {
        at_ = {-1, -1};
    }
}

void VtEncoder::cursor(ScreenPos pos, bool visible) {
    moveTo(pos);
    if (visible_ != static_cast<int>(visible)) {
        out_ += visible ? "\x1b[?25h" : "\x1b[?25l";
        visible_ = visible;
    }
}
