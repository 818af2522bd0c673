#ifdef _WIN32

#include "console/console.h"
#include "console/windows_console.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A test runner's output is usually a pipe and the process may have no console at all: a
// console is made once, without taking standard output away from the runner.
bool haveConsole() {
    static const bool present = [] {
        HANDLE probe =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
            return true;
        }
        const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
        const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
        FreeConsole();
        const bool made = AllocConsole() != 0;
        SetStdHandle(STD_INPUT_HANDLE, in);
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        SetStdHandle(STD_ERROR_HANDLE, err);
        return made;
    }();
    return present;
}

// The Windows backend painting on a screen buffer of its own, which stands in for standard
// output while the test runs; the buffer starts at a console's usual 80 x 25.
class WindowsConsoleTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!haveConsole()) {
            GTEST_SKIP() << "no console to paint on";
        }
        buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
        ASSERT_NE(buffer, INVALID_HANDLE_VALUE);
        const SMALL_RECT small{0, 0, 79, 24};
        SetConsoleWindowInfo(buffer, TRUE, &small);
        SetConsoleScreenBufferSize(buffer, COORD{80, 25});
        SetConsoleTextAttribute(buffer, StartAttribute);
        SetConsoleTitleW(L"Eingabeaufforderung");
        input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        GetConsoleMode(input, &testerInputMode);
        SetConsoleMode(input, UserInputMode);
        FlushConsoleInputBuffer(input);
        savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, buffer);
        installConsoleBackend(&console);
        setupConsole();
    }
    void TearDown() override {
        installConsoleBackend(nullptr);
        SetConsoleMode(input, testerInputMode);
        CloseHandle(input);
        if (buffer != INVALID_HANDLE_VALUE) {
            SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
            CloseHandle(buffer);
        }
    }

    // Line y of the buffer: its characters, and its attributes.
    std::wstring text(int y) const {
        std::wstring text(ConsoleWidth, L'\0');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(buffer, text.data(), ConsoleWidth, COORD{0, SHORT(y)}, &read);
        return text.substr(0, read);
    }
    std::vector<WORD> colours(int y) const {
        std::vector<WORD> colours(ConsoleWidth);
        DWORD read = 0;
        ReadConsoleOutputAttribute(buffer, colours.data(), ConsoleWidth, COORD{0, SHORT(y)}, &read);
        return {colours.begin(), colours.begin() + read};
    }
    // Every cell of the buffer shows what the model holds, in the model's colour.
    void expectBufferMatchesModel() const {
        for (int y = 0; y < ConsoleHeight; ++y) {
            std::wstring text;
            std::vector<WORD> attributes;
            for (int x = 0; x < ConsoleWidth; ++x) {
                const Cell& cell = consoleScreen().at(x, y);
                text.push_back(static_cast<wchar_t>(displayedCharacter(cell.ch)));
                attributes.push_back(cell.color == DefaultColor ? StartAttribute : cell.color);
            }
            ASSERT_EQ(this->text(y), text) << "line " << y;
            ASSERT_EQ(colours(y), attributes) << "line " << y;
        }
    }

    // Reads what the console shows besides its cells.
    void look() {
        GetConsoleScreenBufferInfo(buffer, &info);
        GetConsoleCursorInfo(buffer, &cursor);
        GetConsoleMode(input, &inputMode);
        wchar_t text[64] = {};
        GetConsoleTitleW(text, 64);
        title = text;
    }

    // The console as the program found it, with the cursor shown on line below.
    void expectHandedBack(int below) {
        look();
        EXPECT_EQ(info.wAttributes, StartAttribute);
        EXPECT_EQ(info.dwCursorPosition.Y, below) << "the prompt comes below the drawing";
        EXPECT_TRUE(cursor.bVisible);
        EXPECT_EQ(title, L"Eingabeaufforderung");
        EXPECT_EQ(inputMode, UserInputMode);
    }

    // The calls the backend makes on the console while the program paints what it has drawn.
    long callsToPaint() {
        const long before = console.sink()->calls();
        pause(0);
        return console.sink()->calls() - before;
    }

    static constexpr WORD StartAttribute = 0x1E; // yellow on blue, as someone's console may be
    // A user's input mode, with Quick Edit on.
    static constexpr DWORD UserInputMode = ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT |
                                           ENABLE_ECHO_INPUT | ENABLE_INSERT_MODE |
                                           ENABLE_QUICK_EDIT_MODE | ENABLE_EXTENDED_FLAGS;
    HANDLE buffer = INVALID_HANDLE_VALUE;
    HANDLE input = INVALID_HANDLE_VALUE;
    DWORD testerInputMode = 0;
    DWORD inputMode = 0;
    HANDLE savedOutput = nullptr;
    WindowsConsole console{false};
    CONSOLE_SCREEN_BUFFER_INFO info{};
    CONSOLE_CURSOR_INFO cursor{};
    std::wstring title;
};

} // namespace

TEST_F(WindowsConsoleTest, PaintingMatchesTheModelInAFewCallsWithColoursUmlautsClearsAndScrolling) {
    clearScreen();
    EXPECT_LE(callsToPaint(), 3) << "a whole screen is one rectangle, then the cursor";
    EXPECT_EQ(colours(50)[100], StartAttribute) << "the first clear keeps the console's colours";

    setColor(DarkGreen);
    writeAt({3, 3}, "[ ] Info");
    clearScreen();
    for (int y = 0; y < ConsoleHeight; y += 2) {
        writeAt({10, y}, "# # #");
    }
    writeAt({0, 1}, "oben");
    setColor(LightGreen);
    writeAt({0, 61}, std::string("äöüß°Û € "_cp) + "\x07\x81");
    setColor(Yellow);
    writeNumber(2);
    setColor(LightRed);
    writeText(" ein: ");
    EXPECT_LE(callsToPaint(), 2);
    EXPECT_EQ(colours(69)[196], DarkGreen) << "later clears take the current colour";
    EXPECT_EQ(text(61).substr(0, 11), L"äöüß°Û € ??") << "control bytes never reach the console";
    expectBufferMatchesModel();

    // A selection mark moves: a blank and an x two lines apart, one rectangle.
    writeAt({11, 40}, "x");
    writeAt({11, 42}, " ");
    EXPECT_LE(callsToPaint(), 2);
    // Wide changes on lines far apart, each its own rectangle.
    for (const int y : {0, 30, 69}) {
        writeAt({0, y}, "x");
        writeAt({150, y}, "x");
    }
    EXPECT_EQ(callsToPaint(), 4) << "three rectangles, then the cursor";
    expectBufferMatchesModel();

    writeAt({190, 69}, "#######");
    pause(0);
    EXPECT_EQ(text(0).substr(0, 4), L"oben") << "the model scrolled once, the console with it";
    expectBufferMatchesModel();
    writeAt({196, 68}, "#");
    pause(0);
    expectBufferMatchesModel();
}

TEST_F(WindowsConsoleTest, SizeTitleCursorAndInputModeFollowTheProgramAndRestoreHandsThemBack) {
    look();
    EXPECT_EQ(info.dwSize.X, ConsoleWidth);
    EXPECT_EQ(info.dwSize.Y, ConsoleHeight);
    EXPECT_EQ(title, L"Kentermeer");
    EXPECT_EQ(inputMode & (ENABLE_QUICK_EDIT_MODE | ENABLE_EXTENDED_FLAGS), ENABLE_EXTENDED_FLAGS)
        << "a click in the window must not stop the program";

    setCursorVisible(false);
    setColor(DarkGreen);
    writeAt({80, 44}, "[ ] Beenden");
    pause(0);
    look();
    EXPECT_EQ(cursor.dwSize, 1u);
    EXPECT_FALSE(cursor.bVisible);
    EXPECT_EQ(info.dwCursorPosition.X, 91);
    EXPECT_EQ(info.dwCursorPosition.Y, 44);
    setCursorVisible(true);
    pause(0);
    look();
    EXPECT_TRUE(cursor.bVisible);

    setCursorVisible(false);
    pause(0);
    console.restore();
    EXPECT_EQ(text(44).substr(80, 11), L"[ ] Beenden");
    expectHandedBack(45);
}

namespace {

HANDLE gHandled = CreateEventW(nullptr, TRUE, FALSE, nullptr);

// Stands behind the program's handler in place of the system's, which would end the tests.
BOOL WINAPI noteAndCarryOn(DWORD) {
    SetEvent(gHandled);
    return TRUE;
}

} // namespace

TEST_F(WindowsConsoleTest, CtrlCHandsTheConsoleBackFromItsOwnThreadAndNothingIsPaintedAfter) {
    SetConsoleCtrlHandler(WindowsConsole::onConsoleEvent, FALSE);
    SetConsoleCtrlHandler(noteAndCarryOn, TRUE);
    SetConsoleCtrlHandler(WindowsConsole::onConsoleEvent, TRUE);
    setCursorVisible(false);
    setColor(LightRed);
    writeAt({10, 57}, "Der Computer ist am Zug");
    pause(0);

    ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    ASSERT_EQ(WaitForSingleObject(gHandled, 5000), WAIT_OBJECT_0);
    expectHandedBack(58);

    writeAt({10, 58}, "...");
    pause(0);
    EXPECT_EQ(text(58).substr(10, 3), L"   ") << "the program is ending: no more painting";
}

namespace {

INPUT_RECORD key(WORD virtualKey, wchar_t ch, DWORD state = 0, BOOL down = TRUE) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent = {down, 1, virtualKey, 0, {}, state};
    record.Event.KeyEvent.uChar.UnicodeChar = ch;
    return record;
}

constexpr DWORD Grey = ENHANCED_KEY;
using Key = std::optional<KeyEvent>;

} // namespace

TEST(WindowsKeys, InputRecordsBecomeTheCodesOfGetch) {
    INPUT_RECORD mouse{};
    mouse.EventType = MOUSE_EVENT;
    const struct {
        INPUT_RECORD record;
        Key expected;
        const char* what;
    } cases[] = {
        {key(VK_UP, 0, Grey | NUMLOCK_ON), KeyEvent{224, 72}, "Up"},
        {key(VK_UP, 0), KeyEvent{0, 72}, "keypad Up, Num Lock off"},
        {key(VK_UP, 0, Grey | LEFT_CTRL_PRESSED), KeyEvent{224, 141}, "Ctrl+Up"},
        {key(VK_HOME, 0, LEFT_ALT_PRESSED), Key{}, "Alt and the keypad type a number"},
        {key(VK_F10, 0, SHIFT_PRESSED), KeyEvent{0, 93}, "Shift+F10"},
        {key(VK_ESCAPE, 0), KeyEvent{27, -1}, "Escape as wine's console reports it"},
        {key(0xDE, L'ä'), KeyEvent{0xE4, -1}, "ä"},
        {key(VK_MENU, L'ß', 0, FALSE), KeyEvent{0xDF, -1}, "Alt+0223 comes with Alt's release"},
        {key(0, L'\u2713'), KeyEvent{'?', -1}, "a character Windows-1252 lacks"},
        {key(0, 0xD83D), KeyEvent{'?', -1}, "a character beyond 16 bits..."},
        {key(0, 0xDE00), Key{}, "...is one '?'"},
        {key(0xDE, L'ä', 0, FALSE), Key{}, "a release"},
        {key(VK_SHIFT, 0, SHIFT_PRESSED), Key{}, "Shift alone"},
        {mouse, Key{}, "a click"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keyFromRecord(c.record), c.expected) << c.what;
    }
    EXPECT_EQ(keyFromRecord(key(VK_DOWN, 0), false), (KeyEvent{224, 80}))
        << "a console that marks no key grey has only the grey arrows";
}

TEST_F(WindowsConsoleTest, TypedUmlautsAndArrowsArriveWhateverTheInputCodePage) {
    const UINT codePage = GetConsoleCP();
    SetConsoleCP(65001);
    const INPUT_RECORD typed[] = {key(0xDE, L'ä'), key(0xDE, L'ä', 0, FALSE), key('1', L'1'),
                                  key(VK_RETURN, L'\r'), key(VK_DOWN, 0, Grey)};
    DWORD written = 0;
    WriteConsoleInputW(input, typed, std::size(typed), &written);
    EXPECT_EQ(readWord(), "ä1"_cp);
    EXPECT_EQ(readKey(), KeyDown);
    EXPECT_EQ(text(0).substr(0, 2), L"  ") << "the echo goes with its read";
    SetConsoleCP(codePage);
}

namespace {

// What GetConsoleScreenBufferInfo reports of a console: its buffer, its window, and the
// largest window it can show.
CONSOLE_SCREEN_BUFFER_INFO console(SHORT columns, SHORT lines, SHORT shownColumns = 400,
                                   SHORT shownLines = 200) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    info.dwSize = {columns, lines};
    info.srWindow = {0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(lines - 1)};
    info.dwMaximumWindowSize = {std::min(columns, shownColumns), std::min(lines, shownLines)};
    return info;
}

} // namespace

TEST(WindowsConsoleSize, AHostThatKeepsItsSizeIsPaintedAfreshOnlyWhenItChanges) {
    using Step = SizeWatch::Step;
    const struct {
        CONSOLE_SCREEN_BUFFER_INFO info;
        Step expected;
        const char* what;
    } session[] = {
        {console(197, 70), Step::PaintAfresh, "the first paint"},
        {console(197, 70), Step::Paint, "a key"},
        {console(230, 75), Step::PaintAfresh, "the host made the window larger"},
        {console(230, 75), Step::Paint, "a key, in a buffer larger than 197 x 70"},
        {console(150, 40), Step::ShowNotice, "the window got too small"},
        {console(150, 40), Step::KeepWaiting, "still too small"},
        {console(160, 40), Step::ShowNotice, "another size, told in the notice"},
        {console(230, 75), Step::PaintAfresh, "big enough again"},
        {console(197, 70, 120, 40), Step::ShowNotice, "a window larger than the screen shows"},
    };
    SizeWatch watch;
    for (const auto& s : session) {
        EXPECT_EQ(watch.next(s.info), s.expected) << s.what;
    }
}

#endif
