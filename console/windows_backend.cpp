#include "console/platform.h"
#include "console/size_notice.h"
#include "console/windows_console.h"

#include <algorithm>
#include <conio.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// What the console control handler needs; it runs on a thread of its own.
HANDLE gOutput = INVALID_HANDLE_VALUE;
WORD gSavedAttribute = 7;
CONSOLE_CURSOR_INFO gSavedCursor{25, TRUE};
volatile LONG gHaveSavedLook = 0;

// Ctrl+C, Ctrl+Break or the window closing: the process ends by the system's default
// handling, but the console it leaves behind gets its colours and cursor back first.
BOOL WINAPI onConsoleEvent(DWORD) {
    if (gHaveSavedLook) {
        SetConsoleTextAttribute(gOutput, gSavedAttribute);
        SetConsoleCursorInfo(gOutput, &gSavedCursor);
    }
    return FALSE;
}

// The exit code a console program gets when Ctrl+C ends it.
constexpr UINT ControlCExitCode = 0xC000013A;

class GetchCodes : public KeyCodeSource {
  public:
    int nextCode() override { return _getch(); }
    bool codeWaiting() override { return _kbhit() != 0; }
};

COORD toCoord(ScreenPos pos) {
    return {static_cast<SHORT>(pos.x), static_cast<SHORT>(pos.y)};
}

} // namespace

ConsoleApiSink::ConsoleApiSink(HANDLE output, WORD defaultAttribute)
    : output_(output), defaultAttribute_(defaultAttribute) {
    DWORD mode = 0;
    isConsole_ = GetConsoleMode(output, &mode) != 0;
}

void ConsoleApiSink::forget() {
    attribute_ = -1;
    visible_ = -1;
}

WORD ConsoleApiSink::attributeFor(std::uint8_t color) const {
    return color == DefaultColor ? defaultAttribute_ : color;
}

void ConsoleApiSink::useAttribute(WORD attribute) {
    if (attribute_ != attribute) {
        SetConsoleTextAttribute(output_, attribute);
        attribute_ = attribute;
    }
}

void ConsoleApiSink::clear(std::uint8_t color) {
    if (!isConsole_) {
        return;
    }
    const WORD attribute = attributeFor(color);
    useAttribute(attribute);
    // Everything the buffer holds, also beyond 197 x 70 where it could not be made that small.
    DWORD cellCount = ConsoleWidth * ConsoleHeight;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(output_, &info)) {
        cellCount = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    }
    DWORD done = 0;
    FillConsoleOutputCharacterW(output_, L' ', cellCount, COORD{0, 0}, &done);
    FillConsoleOutputAttribute(output_, attribute, cellCount, COORD{0, 0}, &done);
    SetConsoleCursorPosition(output_, COORD{0, 0});
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
    SetConsoleCursorPosition(output_, toCoord(start));
    int i = 0;
    while (i < count) {
        const WORD attribute = attributeFor(cells[i].color);
        text_.clear();
        for (; i < count && attributeFor(cells[i].color) == attribute; ++i) {
            // Every Windows-1252 character lies in the Basic Multilingual Plane: one UTF-16 unit.
            text_.push_back(static_cast<wchar_t>(displayedCharacter(cells[i].ch)));
        }
        useAttribute(attribute);
        DWORD written = 0;
        WriteConsoleW(output_, text_.data(), static_cast<DWORD>(text_.size()), &written, nullptr);
    }
}

void ConsoleApiSink::cursor(ScreenPos pos, bool visible) {
    if (!isConsole_) {
        return;
    }
    SetConsoleCursorPosition(output_, toCoord(pos));
    if (visible_ != static_cast<int>(visible)) {
        const CONSOLE_CURSOR_INFO info{1, visible ? TRUE : FALSE};
        SetConsoleCursorInfo(output_, &info);
        visible_ = visible;
    }
}

unsigned char cp1252FromConsoleByte(unsigned char byte, UINT codePage) {
    if (byte < 0x80 || codePage == 1252) {
        return byte;
    }
    const char narrow = static_cast<char>(byte);
    wchar_t wide = 0;
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &narrow, 1, &wide, 1) != 1) {
        return '?';
    }
    const int converted = cp1252::fromUnicode(static_cast<char32_t>(wide));
    return converted > 0 ? static_cast<unsigned char>(converted) : '?';
}

std::optional<KeyEvent> readConsoleKey(KeyCodeSource& source, UINT inputCodePage) {
    for (;;) {
        const int first = source.nextCode();
        if (first == EOF) {
            return std::nullopt;
        }
        // Some C runtimes (wine's) hand out bytes above 127 as negative numbers.
        const int code = first & 0xFF;
        // A two-code key leaves its second code waiting at once. A lone 224 is a typed
        // character of the code page (à in Windows-1252), not a prefix.
        if ((code == 0 || code == 224) && source.codeWaiting()) {
            const int second = source.nextCode();
            if (second == EOF) {
                return std::nullopt;
            }
            return KeyEvent{code, second & 0xFF};
        }
        if (code == 0) {
            continue; // Ctrl+Space: no key of the program's
        }
        return KeyEvent{cp1252FromConsoleByte(static_cast<unsigned char>(code), inputCodePage), -1};
    }
}

void WindowsConsole::setup() {
    output_ = GetStdHandle(STD_OUTPUT_HANDLE);
    isConsole_ = GetConsoleMode(output_, &savedMode_) != 0;
    if (isConsole_) {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (GetConsoleScreenBufferInfo(output_, &info)) {
            savedAttribute_ = info.wAttributes;
        }
        GetConsoleCursorInfo(output_, &savedCursor_);
        gOutput = output_;
        gSavedAttribute = savedAttribute_;
        gSavedCursor = savedCursor_;
        gHaveSavedLook = 1;
        SetConsoleCtrlHandler(onConsoleEvent, TRUE);
        // Text that reaches the last column must not wrap: in the last line the wrap would
        // scroll the whole drawing up by one.
        SetConsoleMode(output_, savedMode_ & ~static_cast<DWORD>(ENABLE_WRAP_AT_EOL_OUTPUT));
    }
    wchar_t title[1024];
    const DWORD titleLength = GetConsoleTitleW(title, 1024);
    if (titleLength > 0 && titleLength < 1024) {
        savedTitle_.assign(title, titleLength);
        haveTitle_ = true;
    }
    SetConsoleTitleA("Kentermeer");
    sink_.emplace(output_, savedAttribute_);
    if (isConsole_ && waitForRoom_) {
        waitForBigEnoughConsole();
    } else if (isConsole_) {
        makeBigEnough();
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

void WindowsConsole::waitForBigEnoughConsole() {
    int shownColumns = -1;
    int shownLines = -1;
    for (;;) {
        makeBigEnough();
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!GetConsoleScreenBufferInfo(output_, &info)) {
            return; // the size cannot be known; draw and hope
        }
        int columns = info.srWindow.Right - info.srWindow.Left + 1;
        int lines = info.srWindow.Bottom - info.srWindow.Top + 1;
        // A console may accept a window larger than it can show (wine's on a terminal does):
        // the largest window it can have limits what is seen.
        const COORD largest = GetLargestConsoleWindowSize(output_);
        if (largest.X > 0 && largest.Y > 0) {
            columns = std::min<int>(columns, largest.X);
            lines = std::min<int>(lines, largest.Y);
        }
        if (columns >= ConsoleWidth && lines >= ConsoleHeight) {
            return;
        }
        if (columns != shownColumns || lines != shownLines) {
            shownColumns = columns;
            shownLines = lines;
            showSizeNotice(columns, lines);
        }
        // The console can grow when its font gets smaller or the terminal larger; look again
        // now and then.
        waitForEscape(250);
    }
}

void WindowsConsole::waitForEscape(int milliseconds) {
    if (input_ == INVALID_HANDLE_VALUE) {
        input_ =
            CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (input_ == INVALID_HANDLE_VALUE) {
        // No keyboard to wait for: the input has ended.
        restore();
        std::exit(0);
    }
    if (WaitForSingleObject(input_, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
        return;
    }
    // The keys are read as records here, not through _getch, which would block on anything
    // that is no key; every other key is dropped.
    DWORD waiting = 0;
    INPUT_RECORD record{};
    DWORD got = 0;
    while (GetNumberOfConsoleInputEvents(input_, &waiting) && waiting > 0 &&
           ReadConsoleInputW(input_, &record, 1, &got) && got == 1) {
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) {
            continue;
        }
        if (record.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE) {
            restore();
            std::exit(0);
        }
        if (record.Event.KeyEvent.uChar.UnicodeChar == 3) {
            interrupt();
        }
    }
}

void WindowsConsole::showSizeNotice(int columns, int lines) {
    sink_->clear(DefaultColor);
    const std::vector<std::string> notice = sizeNoticeLines(columns, lines);
    int y = SizeNoticeStart.y;
    std::vector<Cell> cells;
    for (const std::string& line : notice) {
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
    keepBelow_ = y;
    front_.known = false;
}

void WindowsConsole::present(Screen& screen) {
    if (!sink_) {
        output_ = GetStdHandle(STD_OUTPUT_HANDLE);
        sink_.emplace(output_, savedAttribute_);
    }
    if (isConsole_ && setUp_) {
        // A console that rewraps its text when the window changes size changes the buffer
        // too; then it is sized anew and painted afresh.
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (waitForRoom_ && GetConsoleScreenBufferInfo(output_, &info) &&
            (info.dwSize.X != ConsoleWidth || info.dwSize.Y != ConsoleHeight)) {
            waitForBigEnoughConsole();
            front_.known = false;
            sink_->forget();
        }
    }
    paintChanges(screen, front_, *sink_);
}

std::optional<KeyEvent> WindowsConsole::readKeyEvent() {
    GetchCodes codes;
    const std::optional<KeyEvent> key = readConsoleKey(codes, GetConsoleCP());
    // _getch reads Ctrl+C as a key; it ends the program as in any other console program.
    if (key && *key == KeyEvent{3, -1}) {
        interrupt();
    }
    return key;
}

void WindowsConsole::interrupt() {
    restore();
    ExitProcess(ControlCExitCode);
}

void WindowsConsole::sleep(int milliseconds) {
    Sleep(static_cast<DWORD>(std::max(milliseconds, 0)));
}

void WindowsConsole::restore() {
    if (haveTitle_) {
        SetConsoleTitleW(savedTitle_.c_str());
    }
    if (!isConsole_) {
        return;
    }
    gHaveSavedLook = 0;
    SetConsoleTextAttribute(output_, savedAttribute_);
    SetConsoleCursorInfo(output_, &savedCursor_);
    SetConsoleMode(output_, savedMode_);
    // The prompt that follows starts on the line below the last drawing.
    const int below = std::max(lastDrawnLine(front_) + 1, keepBelow_);
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
