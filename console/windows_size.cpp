#include "console/windows_console.h"

#include <algorithm>
#include <cstdlib>

SizeWatch::Step SizeWatch::next(const CONSOLE_SCREEN_BUFFER_INFO& info) {
    // A console may accept a window larger than it can show (wine's on a terminal does): the
    // largest window it can have limits what is seen.
    int columns = info.srWindow.Right - info.srWindow.Left + 1;
    int lines = info.srWindow.Bottom - info.srWindow.Top + 1;
    if (info.dwMaximumWindowSize.X > 0 && info.dwMaximumWindowSize.Y > 0) {
        columns = std::min<int>(columns, info.dwMaximumWindowSize.X);
        lines = std::min<int>(lines, info.dwMaximumWindowSize.Y);
    }
    const COORD visible{static_cast<SHORT>(columns), static_cast<SHORT>(lines)};
    const bool sizeChanged = visible.X != visible_.X || visible.Y != visible_.Y;
    visible_ = visible;
    if (visible.X < ConsoleWidth || visible.Y < ConsoleHeight) {
        const bool showNotice = !noticeShown_ || sizeChanged;
        noticeShown_ = true;
        return showNotice ? Step::ShowNotice : Step::KeepWaiting;
    }
    if (noticeShown_ || info.dwSize.X != paintedBuffer_.X || info.dwSize.Y != paintedBuffer_.Y) {
        noticeShown_ = false;
        paintedBuffer_ = info.dwSize;
        return Step::PaintAfresh;
    }
    return Step::Paint;
}

void WindowsConsole::makeBigEnough() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output_, &info)) {
        return;
    }
    // The buffer may not be smaller than the window: a larger window shrinks first.
    const int width = info.srWindow.Right - info.srWindow.Left + 1;
    const int height = info.srWindow.Bottom - info.srWindow.Top + 1;
    if (width > ConsoleWidth || height > ConsoleHeight) {
        const SMALL_RECT smaller{0, 0, static_cast<SHORT>(std::min(width, ConsoleWidth) - 1),
                                 static_cast<SHORT>(std::min(height, ConsoleHeight) - 1)};
        SetConsoleWindowInfo(output_, TRUE, &smaller);
    }
    SetConsoleScreenBufferSize(output_, COORD{ConsoleWidth, ConsoleHeight});
    const SMALL_RECT full{0, 0, ConsoleWidth - 1, ConsoleHeight - 1};
    SetConsoleWindowInfo(output_, TRUE, &full);
}

bool WindowsConsole::fitToWindow() {
    for (;;) {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!GetConsoleScreenBufferInfo(output_, &info)) {
            return false; // the size cannot be known; draw and hope
        }
        sink_->setBufferSize(info.dwSize);
        const SizeWatch::Step step = sizeWatch_.next(info);
        sink_->limitTo(step == SizeWatch::Step::ShowNotice ? sizeWatch_.visible()
                                                           : COORD{ConsoleWidth, ConsoleHeight});
        switch (step) {
        case SizeWatch::Step::Paint:
            return false;
        case SizeWatch::Step::PaintAfresh:
            return true;
        case SizeWatch::Step::ShowNotice:
            showSizeNotice(sizeWatch_.visible());
            break;
        case SizeWatch::Step::KeepWaiting:
            break;
        }
        // The console can grow when its font gets smaller or the terminal larger; look again
        // now and then, and ask again for the size.
        waitForEscape(250);
        makeBigEnough();
    }
}

void WindowsConsole::waitForEscape(int milliseconds) {
    const HANDLE input = inputHandle();
    if (input == INVALID_HANDLE_VALUE) {
        // No keyboard to wait for: the input has ended.
        restore();
        std::exit(0);
    }
    if (WaitForSingleObject(input, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
        return;
    }
    // Every other key is dropped.
    DWORD waiting = 0;
    INPUT_RECORD record{};
    DWORD got = 0;
    while (GetNumberOfConsoleInputEvents(input, &waiting) && waiting > 0 &&
           ReadConsoleInputW(input, &record, 1, &got) && got == 1) {
        const std::optional<KeyEvent> key = keyFromRecord(record, greyKeysMarked_);
        if (key == KeyEvent{27, -1}) {
            restore();
            std::exit(0);
        }
        if (key == KeyEvent{3, -1}) {
            interrupt();
        }
    }
}
