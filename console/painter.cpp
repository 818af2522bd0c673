#include "console/painter.h"

#include "console/cp1252.h"

#include <algorithm>

char32_t displayedCharacter(unsigned char byte) {
    const char32_t character = cp1252::toUnicode(byte);
    if (byte < 0x20 || byte == 0x7F || character == 0 || (character >= 0x80 && character < 0xA0)) {
        return U'?';
    }
    return character;
}

void PaintSink::erase(ScreenPos start, int count, std::uint8_t color, bool) {
    std::array<Cell, ConsoleWidth> blanks;
    blanks.fill(Cell{' ', color});
    cells(start, blanks.data(), count);
}

namespace {

// Unchanged cells are taken along in a run only where writing them needs no colour switch.
bool writtenAlike(const Cell& cell, const Cell& before) {
    return cell.color == before.color ||
           (cell.ch == ' ' && onBlack(cell.color) && onBlack(before.color));
}

// One line of the model against what the console shows on it.
class LinePaint {
  public:
    LinePaint(const Screen& model, PaintedScreen& front, int y)
        : y_(y), wanted_(&model.cells[static_cast<std::size_t>(y * ConsoleWidth)]),
          shown_(&front.cells[static_cast<std::size_t>(y * ConsoleWidth)]) {
        findBlankStretches();
    }

    void paint(PaintSink& sink) {
        int x = 0;
        while (x < ConsoleWidth) {
            if (!differs(x)) {
                ++x;
                continue;
            }
            int end = eraseEnd(x);
            if (end > x) {
                sink.erase({x, y_}, end - x, wanted_[x].color,
                           stretchEnd_[static_cast<std::size_t>(x)] == ConsoleWidth);
            } else {
                end = runEnd(x);
                sink.cells({x, y_}, wanted_ + x, end - x);
            }
            std::copy(wanted_ + x, wanted_ + end, shown_ + x);
            x = end;
        }
    }

  private:
    bool differs(int x) const { return !looksSame(wanted_[x], shown_[x]); }

    // For each blank of the model, one past its stretch of blanks on the same background, and
    // one past the last cell of that stretch, from it on, that looks different now.
    void findBlankStretches() {
        for (int x = ConsoleWidth - 1; x >= 0; --x) {
            const auto at = static_cast<std::size_t>(x);
            if (wanted_[x].ch != ' ') {
                stretchEnd_[at] = x;
                changedEnd_[at] = x;
                continue;
            }
            const bool continues = x + 1 < ConsoleWidth && wanted_[x + 1].ch == ' ' &&
                                   onBlack(wanted_[x + 1].color) == onBlack(wanted_[x].color);
            stretchEnd_[at] = continues ? stretchEnd_[at + 1] : x + 1;
            const int changedAfter = continues ? changedEnd_[at + 1] : x + 1;
            changedEnd_[at] = changedAfter > x + 1 ? changedAfter : (differs(x) ? x + 1 : x);
        }
    }

    // Where an erase from x on would end, if x is where one pays: a blank tail of the line,
    // or a long stretch of blanks inside it. x otherwise.
    int eraseEnd(int x) const {
        const auto at = static_cast<std::size_t>(x);
        if (wanted_[x].ch != ' ') {
            return x;
        }
        const int changed = changedEnd_[at] - x;
        const int shortest =
            stretchEnd_[at] == ConsoleWidth ? ShortestTailErase : ShortestInnerErase;
        return changed >= shortest ? changedEnd_[at] : x;
    }

    // One past the last cell of the run of changed cells from x on.
    int runEnd(int x) const {
        int end = x + 1;
        for (int probe = end; probe < ConsoleWidth && probe - end <= MaxUnchangedInRun; ++probe) {
            if (differs(probe)) {
                if (eraseEnd(probe) > probe) {
                    break;
                }
                end = probe + 1;
            } else if (!writtenAlike(wanted_[probe], wanted_[end - 1])) {
                break;
            }
        }
        return end;
    }

    int y_;
    const Cell* wanted_;
    Cell* shown_;
    std::array<int, ConsoleWidth> stretchEnd_{};
    std::array<int, ConsoleWidth> changedEnd_{};
};

} // namespace

void paintChanges(Screen& model, PaintedScreen& front, PaintSink& sink, bool clearFirst) {
    if (!front.known || (model.clearPending && clearFirst)) {
        // The clear takes the colour of the model's last clear, so the cells not written since
        // already show as the model has them.
        const std::uint8_t color = model.clearColor;
        sink.clear(color);
        std::fill(front.cells.begin(), front.cells.end(), Cell{' ', color});
        if (!model.clearPending) {
            // The console held something else; every line of the model must go out again.
            model.dirtyLines.set();
        }
        front.known = true;
    } else if (model.clearPending) {
        // Painted over what the console shows, a cleared model may differ on every line.
        model.dirtyLines.set();
    }
    model.clearPending = false;
    for (int y = 0; y < ConsoleHeight; ++y) {
        if (model.dirtyLines.test(static_cast<std::size_t>(y))) {
            LinePaint(model, front, y).paint(sink);
        }
    }
    model.dirtyLines.reset();
    sink.cursor(model.cursor, model.cursorVisible);
}
