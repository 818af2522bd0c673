#pragma once

// Bringing a console up to date with the screen model by sending only what changed. The
// bookkeeping is the same for every console; a PaintSink turns it into terminal bytes or
// console calls.

#include "console/screen.h"

// What the console shows now, as far as the painter has put it there.
struct PaintedScreen {
    std::array<Cell, ConsoleWidth * ConsoleHeight> cells{};
    ScreenPos cursor{};
    bool cursorVisible = true;
    // False until the first paint, and after anything else drew on the console (a notice,
    // a suspension): the next paint starts from a cleared console.
    bool known = false;
};

class PaintSink {
  public:
    virtual ~PaintSink() = default;
    // Blanks the whole console in a colour (DefaultColor: the terminal's own colours).
    virtual void clear(std::uint8_t color) = 0;
    // Writes cells on one line, from start on.
    virtual void cells(ScreenPos start, const Cell* cells, int count) = 0;
    // Ends a paint with the cursor where the model has it.
    virtual void cursor(ScreenPos pos, bool visible) = 0;
};

// A run of changed cells may take up to this many unchanged ones along: rewriting them is
// cheaper than the cursor move that would skip them.
inline constexpr int MaxUnchangedInRun = 4;

// The last line with visible text on what the painter has put on the console; -1 when there
// is none. Leaving the program puts the cursor below it.
int lastDrawnLine(const PaintedScreen& front);

// Sends the model's changes since the last paint to the sink and marks them painted.
void paintChanges(Screen& model, PaintedScreen& front, PaintSink& sink);

// The character a terminal should show for a byte of the model: its Windows-1252 character,
// or '?' for control bytes and the five bytes Windows-1252 leaves undefined, which would
// otherwise reach the terminal as commands.
char32_t displayedCharacter(unsigned char byte);
