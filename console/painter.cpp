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

int lastDrawnLine(const PaintedScreen& front) {
    for (int y = ConsoleHeight - 1; y >= 0; --y) {
        for (int x = 0; x < ConsoleWidth; ++x) {
            if (front.cells[static_cast<std::size_t>(y * ConsoleWidth + x)].ch != ' ') {
                return y;
            }
        }
    }
    return -1;
}

static void paintLine(const Screen& model, PaintedScreen& front, PaintSink& sink, int y) {
    const Cell* wanted = &model.cells[static_cast<std::size_t>(y * ConsoleWidth)];
    Cell* shown = &front.cells[static_cast<std::size_t>(y * ConsoleWidth)];
    int x = 0;
    while (x < ConsoleWidth) {
        if (wanted[x] == shown[x]) {
            ++x;
            continue;
        }
        const int start = x;
        int end = x + 1; // one past the last changed cell of the run
        // Unchanged cells are taken along only in the colour of the run, so that bridging
        // them never costs a colour switch.
        for (int probe = end; probe < ConsoleWidth && probe - end <= MaxUnchangedInRun; ++probe) {
            if (!(wanted[probe] == shown[probe])) {
                end = probe + 1;
            } else if (wanted[probe].color != wanted[end - 1].color) {
                break;
            }
        }
        sink.cells({start, y}, wanted + start, end - start);
        std::copy(wanted + start, wanted + end, shown + start);
        x = end;
    }
}

void paintChanges(Screen& model, PaintedScreen& front, PaintSink& sink) {
    if (model.clearPending || !front.known) {
        // Cleared in the colour of the model's last clear, the console shows the cells the
        // program has not written since as the model has them, as the first paint did.
        const std::uint8_t color = model.clearColor;
        sink.clear(color);
        std::fill(front.cells.begin(), front.cells.end(), Cell{' ', color});
        if (!model.clearPending) {
            // The console held something else; every line of the model must go out again.
            model.dirtyLines.set();
        }
        model.clearPending = false;
        front.known = true;
    }
    for (int y = 0; y < ConsoleHeight; ++y) {
        if (model.dirtyLines.test(static_cast<std::size_t>(y))) {
            paintLine(model, front, sink, y);
        }
    }
    model.dirtyLines.reset();
    sink.cursor(model.cursor, model.cursorVisible);
    front.cursor = model.cursor;
    front.cursorVisible = model.cursorVisible;
}
