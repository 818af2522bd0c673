#include "console/platform.h"
#include "console/size_notice.h"
#include "console/windows_console.h"

#include <algorithm>
#include <cstdlib>
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

// The second codes of the keys that _getch reports as two codes: plain, with Shift, with Ctrl,
// with Alt.
struct TwoCodeKey {
    WORD virtualKey;
    bool editingKey; // an arrow or editing key: grey (224 first) or the keypad's (0 first)
    std::array<int, 4> second;
};
constexpr TwoCodeKey TwoCodeKeys[] = {
    {VK_HOME, true, {71, 71, 119, 151}},   {VK_UP, true, {72, 72, 141, 152}},
    {VK_PRIOR, true, {73, 73, 132, 153}},  {VK_LEFT, true, {75, 75, 115, 155}},
    {VK_RIGHT, true, {77, 77, 116, 157}},  {VK_END, true, {79, 79, 117, 159}},
    {VK_DOWN, true, {80, 80, 145, 154}},   {VK_NEXT, true, {81, 81, 118, 161}},
    {VK_INSERT, true, {82, 82, 146, 162}}, {VK_DELETE, true, {83, 83, 147, 163}},
    {VK_F11, false, {133, 135, 137, 139}}, {VK_F12, false, {134, 136, 138, 140}},
};

std::optional<KeyEvent> twoCodeKey(const KEY_EVENT_RECORD& key, bool greyKeysMarked) {
    const DWORD state = key.dwControlKeyState;
    const int modifier = (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))     ? 3
                         : (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) ? 2
                         : (state & SHIFT_PRESSED)                            ? 1
                                                                              : 0;
    if (key.wVirtualKeyCode >= VK_F1 && key.wVirtualKeyCode <= VK_F10) {
        constexpr int firstOf[] = {59, 84, 94, 104};
        return KeyEvent{0, firstOf[modifier] + (key.wVirtualKeyCode - VK_F1)};
    }
    for (const TwoCodeKey& entry : TwoCodeKeys) {
        if (entry.virtualKey != key.wVirtualKeyCode) {
            continue;
        }
        const bool grey = !entry.editingKey || (state & ENHANCED_KEY) || !greyKeysMarked;
        if (!grey && modifier == 3) {
            return std::nullopt; // Alt and the keypad type a character by its number
        }
        return KeyEvent{grey ? 224 : 0, entry.second[static_cast<std::size_t>(modifier)]};
    }
    return std::nullopt;
}

bool runsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace

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
    for (int y = ConsoleHeight - 1; y >= 0; --y) {
        for (int x = 0; x < ConsoleWidth; ++x) {
            if (shown_[static_cast<std::size_t>(y * ConsoleWidth + x)].Char.UnicodeChar != L' ') {
                return y;
            }
        }
    }
    return -1;
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

std::optional<KeyEvent> keyFromRecord(const INPUT_RECORD& record, bool greyKeysMarked) {
    if (record.EventType != KEY_EVENT) {
        return std::nullopt;
    }
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    const wchar_t ch = key.uChar.UnicodeChar;
    // A character typed by its number on the keypad comes with the release of Alt.
    if (!key.bKeyDown && !(key.wVirtualKeyCode == VK_MENU && ch != 0)) {
        return std::nullopt;
    }
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        return std::nullopt; // the second half of a character beyond 16 bits: one '?' is enough
    }
    if (ch != 0) {
        const int byte = cp1252::fromUnicode(ch);
        return KeyEvent{byte >= 0 ? byte : '?', -1};
    }
    if (key.wVirtualKeyCode == VK_ESCAPE) {
        return KeyEvent{27, -1}; // wine's console reports a lone Escape without its character
    }
    return twoCodeKey(key, greyKeysMarked);
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
