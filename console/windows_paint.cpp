#include "console/windows_console.h"

#include <algorithm>
#include <string>

ConsoleApiSink::ConsoleApiSink(HANDLE output, WORD defaultAttribute)
    : output_(output), defaultAttribute_(defaultAttribute) {
    DWORD mode = 0;
    isConsole_ = GetConsoleMode(output, &mode) != 0;
    changed_.fill({ConsoleWidth, -1});
    CHAR_INFO blank{};
    blank.Char.UnicodeChar = L' ';
    shown_.fill(blank);
}

void ConsoleApiSink::forget() {
    cursorAt_ = {-1, -1};
    visible_ = -1;
}

WORD ConsoleApiSink::attributeFor(std::uint8_t color) const {
    return color == DefaultColor ? defaultAttribute_ : color;
}

int ConsoleApiSink::lastDrawnLine() const {
    if (!cleared_) {
        return -2; // what the console holds is not known
    }
    return lastLineWith(shown_,
                        [](const CHAR_INFO& cell) { return cell.Char.UnicodeChar != L' '; });
}

void ConsoleApiSink::clear(std::uint8_t color) {
    if (!isConsole_) {
        return;
    }
    CHAR_INFO blank{};
    blank.Char.UnicodeChar = L' ';
    blank.Attributes = attributeFor(color);
    shown_.fill(blank);
    cleared_ = true;
    changed_.fill({0, ConsoleWidth - 1});
    // The screen itself is blanked by the rectangles the paint sends; a console that kept a
    // larger buffer is blanked beyond it, too.
    if (bufferSize_.X > ConsoleWidth || bufferSize_.Y > ConsoleHeight) {
        const DWORD cellCount =
            static_cast<DWORD>(bufferSize_.X) * static_cast<DWORD>(bufferSize_.Y);
        DWORD done = 0;
        FillConsoleOutputCharacterW(output_, L' ', cellCount, COORD{0, 0}, &done);
        FillConsoleOutputAttribute(output_, blank.Attributes, cellCount, COORD{0, 0}, &done);
        calls_ += 2;
    }
}

void ConsoleApiSink::cells(ScreenPos start, const Cell* cells, int count) {
    if (!isConsole_) {
        std::string bytes;
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<char>(cells[i].ch));
        }
        DWORD written = 0;
        WriteFile(output_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return;
    }
    CHAR_INFO* shown = &shown_[static_cast<std::size_t>(start.y * ConsoleWidth + start.x)];
    for (int i = 0; i < count; ++i) {
        // Every Windows-1252 character lies in the Basic Multilingual Plane: one UTF-16 unit.
        shown[i].Char.UnicodeChar = static_cast<WCHAR>(displayedCharacter(cells[i].ch));
        shown[i].Attributes = attributeFor(cells[i].color);
    }
    auto& [first, last] = changed_[static_cast<std::size_t>(start.y)];
    first = std::min(first, start.x);
    last = std::max(last, start.x + count - 1);
}

void ConsoleApiSink::writeChangedLines() {
    SMALL_RECT rectangle{};
    int changedCells = 0; // in the rectangle, the rest is rewritten unchanged
    bool open = false;
    for (int y = 0; y < ConsoleHeight; ++y) {
        const auto [first, last] = changed_[static_cast<std::size_t>(y)];
        if (first > last) {
            continue;
        }
        const int width = last - first + 1;
        if (open) {
            const int left = std::min<int>(rectangle.Left, first);
            const int right = std::max<int>(rectangle.Right, last);
            const int area = (right - left + 1) * (y - rectangle.Top + 1);
            if (area - changedCells - width <= ConsoleWidth) {
                rectangle = {static_cast<SHORT>(left), rectangle.Top, static_cast<SHORT>(right),
                             static_cast<SHORT>(y)};
                changedCells += width;
                continue;
            }
            writeRectangle(rectangle);
        }
        rectangle = {static_cast<SHORT>(first), static_cast<SHORT>(y), static_cast<SHORT>(last),
                     static_cast<SHORT>(y)};
        changedCells = width;
        open = true;
    }
    if (open) {
        writeRectangle(rectangle);
    }
    changed_.fill({ConsoleWidth, -1});
}

void ConsoleApiSink::writeRectangle(SMALL_RECT rectangle) {
    rectangle.Right = std::min<SHORT>(rectangle.Right, limit_.X - 1);
    rectangle.Bottom = std::min<SHORT>(rectangle.Bottom, limit_.Y - 1);
    if (rectangle.Left > rectangle.Right || rectangle.Top > rectangle.Bottom) {
        return;
    }
    ++calls_;
    cellsWritten_ +=
        (rectangle.Right - rectangle.Left + 1) * (rectangle.Bottom - rectangle.Top + 1);
    SMALL_RECT written = rectangle;
    if (WriteConsoleOutputW(output_, shown_.data(), COORD{ConsoleWidth, ConsoleHeight},
                            COORD{rectangle.Left, rectangle.Top}, &written) ||
        rectangle.Top == rectangle.Bottom) {
        return;
    }
    // Older consoles pass the cells through a shared heap of 64 KB, which a whole screen may
    // not find free: one line at a time then.
    for (SHORT y = rectangle.Top; y <= rectangle.Bottom; ++y) {
        writeRectangle({rectangle.Left, y, rectangle.Right, y});
    }
}

void ConsoleApiSink::cursor(ScreenPos pos, bool visible) {
    if (!isConsole_) {
        return;
    }
    writeChangedLines();
    if (pos != cursorAt_) {
        ++calls_;
        SetConsoleCursorPosition(output_, {static_cast<SHORT>(pos.x), static_cast<SHORT>(pos.y)});
        cursorAt_ = pos;
    }
    if (visible_ != static_cast<int>(visible)) {
        ++calls_;
        const CONSOLE_CURSOR_INFO info{1, visible ? TRUE : FALSE};
        SetConsoleCursorInfo(output_, &info);
        visible_ = visible;
    }
}
