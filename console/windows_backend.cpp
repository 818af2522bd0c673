#include "console/platform.h"
#include "console/windows_console.h"

#include <algorithm>

namespace {

volatile LONG gHandedBackByHandler = 0;
WindowsConsole* volatile gConsole = nullptr;

// The exit code a console program gets when Ctrl+C ends it.
constexpr UINT ControlCExitCode = 0xC000013A;

bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

ConsoleHost findHost() {
    const HWND window = GetConsoleWindow();
    wchar_t windowClass[64] = {};
    if (window != nullptr) {
        GetClassNameW(window, windowClass, 64);
    }
    return consoleHost(window != nullptr, window != nullptr && IsWindowVisible(window),
                       windowClass);
}

// How often a wait for a key or the end of a pause looks at the window's size: a console on
// a screen of its own reports a smaller window, but not always as an event.
constexpr ULONGLONG SizeLook = 100;

} // namespace

WindowsConsole::~WindowsConsole() {
    if (gConsole == this) {
        gConsole = nullptr;
    }
}

BOOL WINAPI WindowsConsole::onConsoleEvent(DWORD) {
    WindowsConsole* console = gConsole;
    if (console != nullptr && consoleGate().takeForTheEnd()) {
        gHandedBackByHandler = 1;
        console->handBack();
        consoleGate().handedBack();
    }
    // The process ends as the system ends it for this event.
    return FALSE;
}

HANDLE WindowsConsole::inputHandle() {
    // The keyboard, as _getch reads it, also where standard input is redirected.
    if (input_ == INVALID_HANDLE_VALUE) {
        input_ =
            CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
    }
    return input_;
}

void WindowsConsole::setup() {
    output_ = GetStdHandle(STD_OUTPUT_HANDLE);
    if (GetConsoleScreenBufferInfo(output_, &savedSize_)) {
        savedAttribute_ = savedSize_.wAttributes;
    }
    sink_.emplace(output_, savedAttribute_);
    host_ = sink_->isConsole() ? findHost() : ConsoleHost::NoWindow;
    pseudoconsole_ = host_ == ConsoleHost::Pseudoconsole;
    greyKeysMarked_ = !runsUnderWine() && !pseudoconsole_;
    sizeAsked_ = false;
    fontChanged_ = false;
    if (sink_->isConsole()) {
        GetConsoleCursorInfo(output_, &savedCursor_);
        saveFont();
    }
    haveInputMode_ = GetConsoleMode(inputHandle(), &savedInputMode_) != 0;
    wchar_t title[1024];
    SetLastError(ERROR_SUCCESS);
    const DWORD titleLength = GetConsoleTitleW(title, 1024);
    // An empty title (wine's console starts with one) is given back, too.
    haveTitle_ = titleLength < 1024 && (titleLength > 0 || GetLastError() == ERROR_SUCCESS);
    if (haveTitle_) {
        savedTitle_.assign(title, titleLength);
    }
    // From here on, whatever ends the program hands back what was saved above.
    gConsole = this;
    gHandedBackByHandler = 0;
    consoleGate().reset();
    static const bool handlerInstalled = SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
    (void)handlerInstalled;
    if (haveInputMode_) {
        // Quick Edit off: a click would start a selection and stop the program until it ends.
        // Ctrl+C is a signal, not a key; keys come as keys, not as VT sequences; a change of
        // the buffer's size comes as an event.
        SetConsoleMode(input_, (savedInputMode_ | ENABLE_EXTENDED_FLAGS | ENABLE_PROCESSED_INPUT |
                                ENABLE_WINDOW_INPUT) &
                                   ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE |
                                                       ENABLE_VIRTUAL_TERMINAL_INPUT));
    }
    SetConsoleTitleA("Kentermeer");
    if (sink_->isConsole() && !pseudoconsole_) {
        makeBigEnough();
    }
    if (sink_->isConsole() && waitForRoom_) {
        fitToWindow();
    }
    front_.known = false;
    sink_->forget();
    setUp_ = true;
}

void WindowsConsole::present(Screen& screen) {
    lastScreen_ = &screen;
    if (!sink_) {
        output_ = GetStdHandle(STD_OUTPUT_HANDLE);
        sink_.emplace(output_, savedAttribute_);
    }
    if (setUp_ && sink_->isConsole() && waitForRoom_ && fitToWindow()) {
        front_.known = false;
        sink_->forget();
    }
    if (ended_ || !consoleGate().startPainting()) {
        return; // the program is being ended, here or on another thread
    }
    paintChanges(screen, front_, *sink_);
    consoleGate().stopPainting();
}

std::optional<KeyEvent> WindowsConsole::readKeyEvent() {
    const HANDLE input = inputHandle();
    for (;;) {
        if (input != INVALID_HANDLE_VALUE &&
            WaitForSingleObject(input, static_cast<DWORD>(SizeLook)) == WAIT_TIMEOUT) {
            followSize();
            continue;
        }
        INPUT_RECORD record{};
        DWORD got = 0;
        if (input == INVALID_HANDLE_VALUE || !ReadConsoleInputW(input, &record, 1, &got) ||
            got != 1) {
            return std::nullopt; // no console to read from: the input has ended
        }
        if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) {
            followSize();
            continue;
        }
        const std::optional<KeyEvent> key = keyFromRecord(record, greyKeysMarked_);
        // Ctrl+C read as a key (where the console does not make a signal of it) ends the
        // program as the signal does.
        if (key == keycode::CtrlC) {
            interrupt();
        }
        if (key) {
            return key;
        }
    }
}

void WindowsConsole::dropPendingKeys() {
    const HANDLE input = inputHandle();
    if (input != INVALID_HANDLE_VALUE) {
        FlushConsoleInputBuffer(input);
    }
}

void WindowsConsole::interrupt() {
    restore();
    ExitProcess(ControlCExitCode);
}

void WindowsConsole::sleep(int milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(milliseconds, 0));
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        Sleep(static_cast<DWORD>(std::min(deadline - now, SizeLook)));
        followSize();
    }
}

void WindowsConsole::restore() {
    if (consoleGate().takeForTheEnd()) {
        handBack();
        consoleGate().handedBack();
    } else if (gHandedBackByHandler) {
        // The system ends the process next, as the control handler has left it to.
        Sleep(INFINITE);
    }
}

void WindowsConsole::handBack() {
    if (haveTitle_) {
        SetConsoleTitleW(savedTitle_.c_str());
    }
    if (haveInputMode_) {
        // With the extended flags, Quick Edit and insert mode are set as they were, too.
        SetConsoleMode(input_, savedInputMode_ | ENABLE_EXTENDED_FLAGS);
    }
    if (!setUp_ || !sink_->isConsole()) {
        return;
    }
    SetConsoleTextAttribute(output_, savedAttribute_);
    SetConsoleCursorInfo(output_, &savedCursor_);
    if (fontChanged_) {
        SetCurrentConsoleFontEx(output_, FALSE, &savedFont_);
    }
    giveBackSize();
    // The prompt that follows starts on the line below the last drawing.
    const int below = sink_->lastDrawnLine() + 1;
    if (below < 0) {
        return; // nothing drawn yet: the cursor stays where it is
    }
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const int lines = GetConsoleScreenBufferInfo(output_, &info) ? info.dwSize.Y : ConsoleHeight;
    if (below < lines) {
        SetConsoleCursorPosition(output_, COORD{0, static_cast<SHORT>(below)});
    } else {
        SetConsoleCursorPosition(output_, COORD{0, static_cast<SHORT>(lines - 1)});
        DWORD written = 0;
        WriteConsoleW(output_, L"\r\n", 2, &written, nullptr);
    }
}

ConsoleBackend& platformConsole() {
    static WindowsConsole console;
    return console;
}