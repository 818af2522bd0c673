#include "console/vt_output.h"

namespace {

// A CSI sequence with one number, left out where it is the default of 1.
std::string csi(int number, char final) {
    return number == 1 ? std::string("\x1b[") + final : "\x1b[" + std::to_string(number) + final;
}

std::string absoluteMove(ScreenPos pos) {
    if (pos.x == 0) {
        return pos.y == 0 ? "\x1b[H" : csi(pos.y + 1, 'H');
    }
    return "\x1b[" + std::to_string(pos.y + 1) + ";" + std::to_string(pos.x + 1) + "H";
}

std::string verticalMove(int from, int to) {
    if (to == from) {
        return {};
    }
    return to < from ? csi(from - to, 'A') : csi(to - from, 'B');
}

std::string horizontalMove(int from, int to) {
    if (to == from) {
        return {};
    }
    return to < from ? csi(from - to, 'D') : csi(to - from, 'C');
}

void keepShorter(std::string& best, std::string candidate) {
    if (candidate.size() < best.size()) {
        best = std::move(candidate);
    }
}

} // namespace

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
    if (color_ == color) {
        return;
    }
    std::string sgr = sgrFor(color);
    if (color_ >= 0 && onBlack(static_cast<std::uint8_t>(color_)) && onBlack(color)) {
        sgr.erase(sgr.size() - 4, 3); // the background is black already
    }
    out_ += sgr;
    color_ = color;
}

void VtEncoder::useBackgroundOf(std::uint8_t color) {
    if (color_ < 0 || onBlack(static_cast<std::uint8_t>(color_)) != onBlack(color)) {
        useColor(color);
    }
}

void VtEncoder::moveTo(ScreenPos pos) {
    if (at_ == pos) {
        return;
    }
    std::string best = absoluteMove(pos);
    if (at_.x >= 0) {
        const std::string vertical = verticalMove(at_.y, pos.y);
        keepShorter(best, vertical + horizontalMove(at_.x, pos.x));
        keepShorter(best, vertical + "\r" + horizontalMove(0, pos.x));
    }
    out_ += best;
    at_ = pos;
}

void VtEncoder::advance(int count) {
    at_.x += count;
    if (at_.x >= ConsoleWidth) {
        at_ = {-1, -1};
    }
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
        if (cells[i].ch == ' ') {
            useBackgroundOf(cells[i].color);
        } else {
            useColor(cells[i].color);
        }
        charset::append(out_, displayedCharacter(cells[i].ch), charset_);
    }
    advance(count);
}

void VtEncoder::erase(ScreenPos start, int count, std::uint8_t color, bool toLineEnd) {
    if (!mayErase_ && onBlack(color)) {
        PaintSink::erase(start, count, color, toLineEnd);
        return;
    }
    moveTo(start);
    useBackgroundOf(color);
    // Both erases blank in the current background and leave the cursor where it is.
    if (toLineEnd) {
        out_ += "\x1b[K";
        return;
    }
    const std::string eraseCharacters = csi(count, 'X');
    // The cursor has to be moved past the erased cells afterwards, which costs as much again.
    if (static_cast<std::size_t>(count) > 2 * eraseCharacters.size()) {
        out_ += eraseCharacters;
        return;
    }
    out_.append(static_cast<std::size_t>(count), ' ');
    advance(count);
}

void VtEncoder::cursor(ScreenPos pos, bool visible) {
    moveTo(pos);
    if (visible_ != static_cast<int>(visible)) {
        out_ += visible ? "\x1b[?25h" : "\x1b[?25l";
        visible_ = visible;
    }
}

// Each visible character of the model costs a cleared paint at least a byte.
static std::size_t visibleCells(const Screen& model) {
    std::size_t count = 0;
    for (const Cell& cell : model.cells) {
        count += cell.ch != ' ';
    }
    return count;
}

void paintTerminal(Screen& model, PaintedScreen& front, VtEncoder& encoder) {
    encoder.output().clear();
    if (!front.known || !model.clearPending) {
        paintChanges(model, front, encoder);
    } else {
        // Both ways leave the model and what the terminal shows alike; only the bytes differ.
        Screen clearedModel = model;
        PaintedScreen clearedFront = front;
        VtEncoder clearing = encoder;
        paintChanges(model, front, encoder);
        if (encoder.output().size() > visibleCells(model)) {
            paintChanges(clearedModel, clearedFront, clearing, true);
            if (clearing.output().size() < encoder.output().size()) {
                front = clearedFront;
                encoder = clearing;
            }
        }
    }
    if (!encoder.output().empty()) {
        encoder.output().insert(0, "\x1b[?2026h");
        encoder.output() += "\x1b[?2026l";
    }
}
