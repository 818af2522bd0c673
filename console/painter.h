#pragma once

// Bringing a console up to date with the screen model by sending only what looks different.
// The bookkeeping is the same for every console; a PaintSink turns it into terminal bytes or
// console calls.

#include "console/screen.h"

// What the console shows now, as far as the painter has put it there.
struct PaintedScreen {
    std::array<Cell, ConsoleWidth * ConsoleHeight> cells{};
    // False until the first paint, and after anything else drew on the console (a notice,
    // a suspension, a repaint asked for): the next paint starts from a cleared console.
    bool known = false;
};

class PaintSink {
  public:
    virtual ~PaintSink() = default;
    // Blanks the whole console in a colour (DefaultColor: the terminal's own colours).
    virtual void clear(std::uint8_t color) = 0;
    // Writes cells on one line, from start on.
    virtual void cells(ScreenPos start, const Cell* cells, int count) = 0;
    // Blanks count cells on one line from start on, in colour or in any colour that looks
    // the same there. toLineEnd: the line is to be blank from start to its end, so that
    // blanking all of it does as well. Writing the blanks as cells is the default.
    virtual void erase(ScreenPos start, int count, std::uint8_t color, bool toLineEnd);
    // Ends a paint with the cursor where the model has it.
    virtual void cursor(ScreenPos pos, bool visible) = 0;
};

// A run of changed cells may take up to this many unchanged ones along: rewriting them is
// cheaper than the cursor move that would skip them.
inline constexpr int MaxUnchangedInRun = 4;
// Changed blanks go to the sink as an erase from this many on at the end of a line, and
// from ShortestInnerErase on inside it; fewer are cheaper written.
inline constexpr int ShortestTailErase = 4;
inline constexpr int ShortestInnerErase = 10;

// Blanks show only their background: black for every colour of the program's, the
// terminal's own for DefaultColor.
inline bool onBlack(std::uint8_t color) {
    return color != DefaultColor;
}
// Whether a cell shows what another does, as the eye sees it.
inline bool looksSame(const Cell& a, const Cell& b) {
    if (a.ch == ' ' && b.ch == ' ') {
        return onBlack(a.color) == onBlack(b.color);
    }
    return a == b;
}

// The last line of a console's cells, line by line, that has a cell isText holds for; -1 when
// there is none.
template <class Cells, class IsText> int lastLineWith(const Cells& cells, IsText isText) {
    for (int y = ConsoleHeight - 1; y >= 0; --y) {
        for (int x = 0; x < ConsoleWidth; ++x) {
            if (isText(cells[static_cast<std::size_t>(y * ConsoleWidth + x)])) {
                return y;
            }
        }
    }
    return -1;
}

// The last line with visible text on what the painter has put on the console; -1 when there
// is none. Leaving the program puts the cursor below it.
inline int lastDrawnLine(const PaintedScreen& front) {
    return lastLineWith(front.cells, [](const Cell& cell) { return cell.ch != ' '; });
}

// Sends the model's changes since the last paint to the sink and marks them painted. While
// the painter knows what the console shows, a clear of the model is painted as the cells
// that look different; clearFirst has the console cleared for it instead.
void paintChanges(Screen& model, PaintedScreen& front, PaintSink& sink, bool clearFirst = false);

// The character a terminal should show for a byte of the model: its Windows-1252 character,
// or '?' for control bytes and the five bytes Windows-1252 leaves undefined, which would
// otherwise reach the terminal as commands.
char32_t displayedCharacter(unsigned char byte);
