#include "console/platform.h"
#include "console/size_notice.h"
#include "console/windows_console.h"

#include <algorithm>
#include <vector>

namespace {

// Who uses the console: the main thread while it paints, or whoever hands it back as the
// program ends, which is the main thread or, on Ctrl+C, Ctrl+Break or a closing window, the
// control handler's thread. Once it is handed back, nothing more is painted.
constexpr LONG Free = 0, Painting = 1, HandingBack = 2, HandedBack = 3;
volatile LONG gConsoleUser = Free;
volatile LONG gHandedBackByHandler = 0;
WindowsConsole* volatile gConsole = nullptr;

bool startPainting() {
    return InterlockedCompareExchange(&gConsoleUser, Painting, Free) == Free;
}

void stopPainting() {
    InterlockedCompareExchange(&gConsoleUser, Free, Painting);
}

// Takes the console for handing it back; false when the other thread has handed it back.
bool takeForTheEnd() {
    // A paint, or the other thread handing the console back, takes milliseconds.
    for (int waited = 0; waited < 500; ++waited) {
        const LONG user = InterlockedCompareExchange(&gConsoleUser, HandingBack, Free);
        if (user == Free) {
            return true;
        }
        if (user == HandedBack) {
            return false;
        }
        Sleep(1);
    }
    // A paint that does not end is not waited for any longer.
    return InterlockedExchange(&gConsoleUser, HandingBack) == Painting;
}

// The exit code a console program gets when Ctrl+C ends it.
constexpr UINT ControlCExitCode = 0xC000013A;

bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace

WindowsConsole::~WindowsConsole() {
    if (gConsole == this) {
        gConsole = nullptr;
    }
}

BOOL WINAPI WindowsConsole::onConsoleEvent(DWORD) {
    WindowsConsole* console = gConsole;
    if (console != nullptr && takeForTheEnd()) {
        gHandedBackByHandler = 1;
        console->handBack();
        InterlockedExchange(&gConsoleUser, HandedBack);
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
    DWORD outputMode = 0;
    isConsole_ = GetConsoleMode(output_, &outputMode) != 0;
    greyKeysMarked_ = !runsUnderWine();
    if (isConsole_) {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (GetConsoleScreenBufferInfo(output_, &info)) {
            savedAttribute_ = info.wAttributes;
        }
        GetConsoleCursorInfo(output_, &savedCursor_);
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
    sink_.emplace(output_, savedAttribute_);
    // From here on, whatever ends the program hands back what was saved above.
    gConsole = this;
    gHandedBackByHandler = 0;
    InterlockedExchange(&gConsoleUser, Free);
    static const bool handlerInstalled = SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
    (void)handlerInstalled;
    if (haveInputMode_) {
        // Quick Edit off: a click would start a selection and stop the program until it ends.
        // Ctrl+C is a signal, not a key; keys come as keys, not as VT sequences.
        SetConsoleMode(input_, (savedInputMode_ | ENABLE_EXTENDED_FLAGS | ENABLE_PROCESSED_INPUT) &
                                   ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE |
                                                       ENABLE_VIRTUAL_TERMINAL_INPUT));
    }
    SetConsoleTitleA("Kentermeer");
    if (isConsole_) {
        makeBigEnough();
    }
    if (isConsole_ && waitForRoom_) {
        fitToWindow();
    }
    front_.known = false;
    sink_->forget();
    setUp_ = true;
}

void WindowsConsole::showSizeNotice(COORD visible) {
    if (!startPainting()) {
        return;
    }
    sink_->clear(DefaultColor);
    int y = SizeNoticeStart.y;
    std::vector<Cell> cells;
    for (const std::string& line : sizeNoticeLines(visible.X, visible.Y)) {
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
    stopPainting();
}

void WindowsConsole::present(Screen& screen) {
    if (!sink_) {
        output_ = GetStdHandle(STD_OUTPUT_HANDLE);
        sink_.emplace(output_, savedAttribute_);
    }
    if (isConsole_ && setUp_ && waitForRoom_ && fitToWindow()) {
        front_.known = false;
        sink_->forget();
    }
    if (!startPainting()) {
        return; // the program is being ended on another thread
    }
    paintChanges(screen, front_, *sink_);
    stopPainting();
}

std::optional<KeyEvent> WindowsConsole::readKeyEvent() {
    const HANDLE input = inputHandle();
    for (;;) {
        INPUT_RECORD record{};
        DWORD got = 0;
        if (input == INVALID_HANDLE_VALUE || !ReadConsoleInputW(input, &record, 1, &got) ||
            got != 1) {
            return std::nullopt; // no console to read from: the input has ended
        }
        const std::optional<KeyEvent> key = keyFromRecord(record, greyKeysMarked_);
        // Ctrl+C read as a key (where the console does not make a signal of it) ends the
        // program as the signal does.
        if (key == KeyEvent{3, -1}) {
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
    Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}

void WindowsConsole::restore() {
    if (takeForTheEnd()) {
        handBack();
        InterlockedExchange(&gConsoleUser, HandedBack);
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
    if (!isConsole_) {
        return;
    }
    SetConsoleTextAttribute(output_, savedAttribute_);
    SetConsoleCursorInfo(output_, &savedCursor_);
    // The prompt that follows starts on the line below the last drawing.
    const int below = sink_ ? sink_->lastDrawnLine() + 1 : -1;
    if (below < 0) {
        return; // nothing drawn yet: the cursor stays where it is
    }
    if (below < ConsoleHeight) {
        SetConsoleCursorPosition(output_, COORD{0, static_cast<SHORT>(below)});
    } else {
        SetConsoleCursorPosition(output_, COORD{0, ConsoleHeight - 1});
        DWORD written = 0;
        WriteConsoleW(output_, L"\r\n", 2, &written, nullptr);
    }
}

ConsoleBackend& platformConsole() {
    static WindowsConsole console;
    return console;
}