#include "console/size_notice.h"
#include "console/windows_console.h"

#include <algorithm>
#include <optional>
#include <vector>

ConsoleHost consoleHost(bool haveWindow, bool visible, std::wstring_view windowClass) {
    if (windowClass == L"PseudoConsoleWindow") {
        return ConsoleHost::Pseudoconsole;
    }
    // wine's console on a terminal keeps a hidden window for the API's sake.
    if (!haveWindow || (!visible && windowClass == L"WineConsoleClass")) {
        return ConsoleHost::NoWindow;
    }
    // A console window started hidden shows nothing to size either.
    return visible ? ConsoleHost::Window : ConsoleHost::Pseudoconsole;
}

SMALL_RECT windowToAsk(COORD largest) {
    const SHORT width = largest.X > 0 ? std::min<SHORT>(largest.X, ConsoleWidth) : ConsoleWidth;
    const SHORT height = largest.Y > 0 ? std::min<SHORT>(largest.Y, ConsoleHeight) : ConsoleHeight;
    return {0, 0, static_cast<SHORT>(width - 1), static_cast<SHORT>(height - 1)};
}

std::optional<SMALL_RECT> windowAtTop(const SMALL_RECT& window) {
    if (window.Left == 0 && window.Top == 0) {
        return std::nullopt;
    }
    return SMALL_RECT{0, 0, static_cast<SHORT>(window.Right - window.Left),
                      static_cast<SHORT>(window.Bottom - window.Top)};
}

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
    // Not once the console is handed back, its size with it.
    if (!consoleGate().startPainting()) {
        return;
    }
    if (!GetConsoleScreenBufferInfo(output_, &info)) {
        consoleGate().stopPainting();
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
    // As large as the screen allows, so that the player sees how far it is from fitting.
    const SMALL_RECT window = windowToAsk(GetLargestConsoleWindowSize(output_));
    SetConsoleWindowInfo(output_, TRUE, &window);
    sizeAsked_ = true;
    consoleGate().stopPainting();
}

void WindowsConsole::giveBackSize() {
    CONSOLE_SCREEN_BUFFER_INFO now{};
    if (!sizeAsked_ || !GetConsoleScreenBufferInfo(output_, &now)) {
        return;
    }
    const COORD buffer = savedSize_.dwSize;
    const SHORT width = static_cast<SHORT>(savedSize_.srWindow.Right - savedSize_.srWindow.Left);
    const SHORT height = static_cast<SHORT>(savedSize_.srWindow.Bottom - savedSize_.srWindow.Top);
    // The window has to fit the buffer at every step: first one that fits both buffers.
    const SMALL_RECT fitsBoth{
        0, 0, std::min<SHORT>(now.srWindow.Right - now.srWindow.Left, buffer.X - 1),
        std::min<SHORT>(now.srWindow.Bottom - now.srWindow.Top, buffer.Y - 1)};
    SetConsoleWindowInfo(output_, TRUE, &fitsBoth);
    SetConsoleScreenBufferSize(output_, buffer);
    // At the top, where the last drawing is; the cursor put below it moves the window on.
    const SMALL_RECT window{0, 0, width, height};
    SetConsoleWindowInfo(output_, TRUE, &window);
}

void WindowsConsole::followSize() {
    if (lastScreen_ != nullptr) {
        present(*lastScreen_); // waits with the notice, or paints what the window lost
    }
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
        // now and then, and ask again for the size where the console sizes itself.
        waitForEscape(250);
        if (ended_) {
            return false;
        }
        if (!pseudoconsole_) {
            makeBigEnough();
        }
    }
}

void WindowsConsole::showSizeNotice(COORD visible) {
    if (!consoleGate().startPainting()) {
        return;
    }
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!pseudoconsole_ && GetConsoleScreenBufferInfo(output_, &info)) {
        if (const std::optional<SMALL_RECT> top = windowAtTop(info.srWindow)) {
            SetConsoleWindowInfo(output_, TRUE, &*top);
        }
    }
    fontOffered_ = fontToOffer().has_value();
    sink_->clear(DefaultColor);
    int y = SizeNoticeStart.y;
    std::vector<Cell> cells;
    for (const std::string& line :
         windowsNoticeLines(visible, host_ == ConsoleHost::Window, fontOffered_)) {
        cells.clear();
        for (const char ch : line) {
            cells.push_back(Cell{static_cast<unsigned char>(ch), DefaultColor});
        }
        if (!cells.empty()) {
            sink_->cells({SizeNoticeStart.x, y}, cells.data(), static_cast<int>(cells.size()));
        }
        ++y;
    }
    sink_->cursor({0, y}, false);
    consoleGate().stopPainting();
}

void WindowsConsole::waitForEscape(int milliseconds) {
    const HANDLE input = inputHandle();
    if (input == INVALID_HANDLE_VALUE) {
        ended_ = true; // no keyboard to wait for: the input has ended
        return;
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
        if (key == keycode::Escape) {
            ended_ = true;
            return;
        }
        if (key == keycode::CtrlC) {
            interrupt();
        }
        if (fontOffered_ && (key == KeyEvent{'f', -1} || key == KeyEvent{'F', -1})) {
            // Where no font fitted after all, the notice no longer offers one.
            setFontThatFits();
            sizeWatch_.noticeChanged();
            return;
        }
    }
}
