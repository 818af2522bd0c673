#ifdef _WIN32

#include "console/console.h"
#include "console/windows_console.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr WORD UserColours = 0x1E; // yellow on blue
// A console's usual input mode (e7), Quick Edit (40) on.
constexpr DWORD UserInputMode = ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT |
                                ENABLE_INSERT_MODE | ENABLE_QUICK_EDIT_MODE | ENABLE_EXTENDED_FLAGS;
constexpr DWORD Shared = FILE_SHARE_READ | FILE_SHARE_WRITE;
HANDLE gHandled = CreateEventW(nullptr, TRUE, FALSE, nullptr);

// A key as a console with a keyboard reports it, with a scan code; a terminal's has none.
INPUT_RECORD key(WORD virtualKey, wchar_t ch, DWORD state = 0, BOOL down = TRUE, WORD scan = 0x48) {
    return {KEY_EVENT, {{down, 1, virtualKey, scan, {ch}, state}}};
}

// The Windows backend on a console screen buffer of its own, standing in for standard output:
// 80 x 25 at first, with a user's colours, title and input mode.
class WindowsConsoleTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(buffer, INVALID_HANDLE_VALUE) << "no console to paint on";
        // A window of 80 x 25 on a buffer with room for history.
        SetConsoleScreenBufferSize(buffer, COORD{80, 300});
        const SMALL_RECT window{0, 0, 79, 24};
        SetConsoleWindowInfo(buffer, TRUE, &window);
        SetConsoleTextAttribute(buffer, UserColours);
        SetConsoleTitleW(L"Eingabeaufforderung");
        SetConsoleMode(input, UserInputMode);
        SetStdHandle(STD_OUTPUT_HANDLE, buffer);
        installConsoleBackend(&console);
        setupConsole();
    }
    void TearDown() override {
        installConsoleBackend(nullptr);
        SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
    }

    // Every cell as the model has it, with the user's colours for the default ones.
    void expectCellsAsTheModel() {
        std::vector<CHAR_INFO> cells(ConsoleWidth * ConsoleHeight);
        SMALL_RECT all{0, 0, ConsoleWidth - 1, ConsoleHeight - 1};
        ReadConsoleOutputW(buffer, cells.data(), {ConsoleWidth, ConsoleHeight}, {0, 0}, &all);
        for (int i = 0; i < ConsoleWidth * ConsoleHeight; ++i) {
            const Cell& cell = consoleScreen().at(i % ConsoleWidth, i / ConsoleWidth);
            ASSERT_EQ(cells[i].Char.UnicodeChar, displayedCharacter(cell.ch)) << i;
            ASSERT_EQ(cells[i].Attributes, cell.color == DefaultColor ? UserColours : cell.color)
                << i;
        }
    }
    // The console besides its cells: title, input mode, colours, cursor shape and visibility,
    // the cursor's column and line.
    std::wstring state() {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        CONSOLE_CURSOR_INFO cursor{};
        DWORD mode = 0;
        wchar_t title[64] = {};
        GetConsoleScreenBufferInfo(buffer, &info);
        GetConsoleCursorInfo(buffer, &cursor);
        GetConsoleMode(input, &mode);
        GetConsoleTitleW(title, 64);
        std::wostringstream out;
        out << title << L", buffer " << info.dwSize.X << L" x " << info.dwSize.Y << std::hex
            << L", mode " << mode << L", colours " << info.wAttributes << std::dec << L", cursor "
            << cursor.dwSize << (cursor.bVisible ? L" shown" : L" hidden") << L" at "
            << info.dwCursorPosition.X << L"," << info.dwCursorPosition.Y;
        return out.str();
    }
    long callsToPaint() {
        const long before = console.sink()->calls();
        pause(0);
        return console.sink()->calls() - before;
    }

    HANDLE buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, Shared, nullptr,
                                              CONSOLE_TEXTMODE_BUFFER, nullptr);
    HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, Shared, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    HANDLE savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    WindowsConsole console{false};
};

} // namespace

TEST_F(WindowsConsoleTest, PaintsTheModelCellForCellInARectangleForNeighbouringLines) {
    for (int y = 1; y < ConsoleHeight; y += 2) {
        writeAt({10, y}, "# # #");
    }
    writeAt({0, 60}, std::string("äöüß€ "_cp) + "\x07\x81");
    EXPECT_LE(callsToPaint(), 3) << "the whole screen, then the cursor";
    expectCellsAsTheModel();

    // A paint of a few changes, in another colour.
    setColor(DarkGreen);
    writeAt({20, 30}, "x");
    writeAt({5, 31}, "y");
    writeAt({150, 69}, "z");
    EXPECT_EQ(callsToPaint(), 3) << "lines 30 and 31 together, line 69 alone, the cursor";
    expectCellsAsTheModel();
    clearScreen(); // in the current colour
    pause(0);
    expectCellsAsTheModel();
}

TEST_F(WindowsConsoleTest, CtrlCHandsTheConsoleBackWholeFromItsOwnThreadAndEndsThePainting) {
    setCursorVisible(false);
    writeAt({80, 44}, "[ ] Beenden");
    pause(0);
    // Quick Edit off while the game runs: a click must not stop it.
    EXPECT_EQ(state(),
              L"Kentermeer, buffer 197 x 70, mode af, colours 1e, cursor 1 hidden at 91,44");

    // The system's handler, which would end the tests, is kept behind the program's.
    SetConsoleCtrlHandler(WindowsConsole::onConsoleEvent, FALSE);
    SetConsoleCtrlHandler([](DWORD) -> BOOL { return SetEvent(gHandled); }, TRUE);
    SetConsoleCtrlHandler(WindowsConsole::onConsoleEvent, TRUE);
    ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    ASSERT_EQ(WaitForSingleObject(gHandled, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(
        state(),
        L"Eingabeaufforderung, buffer 80 x 300, mode e7, colours 1e, cursor 25 shown at 0,45");
    writeAt({10, 40}, "...");
    EXPECT_EQ(callsToPaint(), 0) << "the game is ending: nothing more is painted";
}

TEST_F(WindowsConsoleTest, KeysTypedBeforeADropAreNotReadAfterIt) {
    DWORD written = 0;
    const INPUT_RECORD a = key('A', L'a'), b = key('B', L'b');
    WriteConsoleInputW(input, &a, 1, &written);
    dropTypedAhead();
    WriteConsoleInputW(input, &b, 1, &written);
    EXPECT_EQ(readKeyCode(), 'b');
}

TEST(WindowsKeys, InputRecordsBecomeTheCodesOfGetch) {
    // What goes in, what should come out, and what the row stands for, as in the tables below.
    const std::tuple<INPUT_RECORD, std::optional<KeyEvent>, const char*> cases[] = {
        {key(VK_UP, 0, ENHANCED_KEY | NUMLOCK_ON), KeyEvent{224, 72}, "Up"},
        {key(VK_UP, 0), KeyEvent{0, 72}, "keypad Up, Num Lock off"},
        {key(VK_DOWN, 0, 0, TRUE, 0), KeyEvent{224, 80}, "Down from a terminal, no scan code"},
        {key(VK_INSERT, 0, SHIFT_PRESSED, TRUE, 0), KeyEvent{224, 82}, "Shift+Insert, the same"},
        {key(VK_HOME, 0, LEFT_ALT_PRESSED), std::nullopt, "Alt and the keypad type a number"},
        {key(VK_PRIOR, 0, LEFT_CTRL_PRESSED), KeyEvent{0, 132}, "Ctrl and the keypad's PgUp"},
        {key(0, L'€'), KeyEvent{0x80, -1}, "€, which Windows-1252 keeps at 80"},
        {key(VK_MENU, L'ß', 0, FALSE), KeyEvent{0xDF, -1}, "Alt+0223 comes with Alt's release"},
        {key(0, L'\u2713'), KeyEvent{'?', -1}, "a character Windows-1252 lacks"},
        {key(VK_SHIFT, 0, SHIFT_PRESSED), std::nullopt, "Shift alone"},
        {INPUT_RECORD{MOUSE_EVENT, {}}, std::nullopt, "a click"},
    };
    for (const auto& [in, expected, what] : cases) {
        EXPECT_EQ(keyFromRecord(in), expected) << what;
    }
    // A host that cannot tell them apart: every arrow is the grey one.
    EXPECT_EQ(keyFromRecord(key(VK_UP, 0), false), (KeyEvent{224, 72}));
}

TEST(WindowsKeys, AKeyWithItsModifiersReadsTheSameFromATerminalAndFromTheConsole) {
    // A terminal's sequence for each key: CSI, the number, ';', the modifiers, the final byte.
    const std::tuple<WORD, int, char> keys[] = {
        {VK_UP, 1, 'A'},    {VK_DOWN, 1, 'B'}, {VK_RIGHT, 1, 'C'},  {VK_LEFT, 1, 'D'},
        {VK_HOME, 1, 'H'},  {VK_END, 1, 'F'},  {VK_INSERT, 2, '~'}, {VK_DELETE, 3, '~'},
        {VK_PRIOR, 5, '~'}, {VK_NEXT, 6, '~'}, {VK_F1, 1, 'P'},     {VK_F4, 1, 'S'},
        {VK_F5, 15, '~'},   {VK_F6, 17, '~'},  {VK_F10, 21, '~'},   {VK_F11, 23, '~'},
        {VK_F12, 24, '~'},
    };
    const std::pair<DWORD, int> modifiers[] = {
        {0, 1},
        {SHIFT_PRESSED, 2},
        {RIGHT_CTRL_PRESSED, 5},
        {LEFT_ALT_PRESSED, 3},
        {LEFT_ALT_PRESSED | LEFT_CTRL_PRESSED | SHIFT_PRESSED, 8}};
    for (const auto& [virtualKey, number, final] : keys) {
        const DWORD grey = virtualKey < VK_F1 ? ENHANCED_KEY : 0;
        for (const auto& [state, terminalModifiers] : modifiers) {
            KeyDecoder decoder;
            for (const char ch : "\x1b[" + std::to_string(number) + ";" +
                                     std::to_string(terminalModifiers) + final) {
                decoder.feed(static_cast<unsigned char>(ch));
            }
            // value() throws, and so fails, where the terminal's sequence gave no key.
            EXPECT_EQ(keyFromRecord(key(virtualKey, 0, grey | state)), decoder.take().value())
                << "virtual key " << virtualKey << ", modifiers " << terminalModifiers;
        }
    }
}

TEST(WindowsConsoleSize, AHostThatKeepsItsSizeIsPaintedAfreshOnlyWhenItChanges) {
    const std::tuple<COORD, SizeWatch::Step, const char*> session[] = {
        {{197, 70}, SizeWatch::Step::PaintAfresh, "the first paint"},
        {{230, 75}, SizeWatch::Step::PaintAfresh, "the host made the window larger"},
        {{230, 75}, SizeWatch::Step::Paint, "a key, in a buffer larger than 197 x 70"},
        {{150, 40}, SizeWatch::Step::ShowNotice, "the window got too small"},
        {{150, 40}, SizeWatch::Step::KeepWaiting, "still too small"},
        {{160, 40}, SizeWatch::Step::ShowNotice, "another size, told in the notice"},
        {{230, 75}, SizeWatch::Step::PaintAfresh, "big enough again"},
    };
    SizeWatch watch;
    const auto at = [](COORD size) -> CONSOLE_SCREEN_BUFFER_INFO {
        return {size, {}, 0, {0, 0, SHORT(size.X - 1), SHORT(size.Y - 1)}, {}};
    };
    for (const auto& [size, expected, what] : session) {
        EXPECT_EQ(watch.next(at(size)), expected) << what;
    }
    // The font on offer did not fit: the notice, no longer offering it, is shown anew.
    EXPECT_EQ(watch.next(at({150, 40})), SizeWatch::Step::ShowNotice);
    watch.noticeChanged();
    EXPECT_EQ(watch.next(at({150, 40})), SizeWatch::Step::ShowNotice);
    EXPECT_EQ(watch.next(at({197, 70})), SizeWatch::Step::PaintAfresh) << "one that fits";
}

TEST(WindowsConsoleHost, APseudoconsoleIsKnownByItsHiddenWindowOrItsClass) {
    const std::tuple<bool, bool, const wchar_t*, ConsoleHost, const char*> cases[] = {
        {true, true, L"ConsoleWindowClass", ConsoleHost::Window, "conhost's window"},
        {true, false, L"PseudoConsoleWindow", ConsoleHost::Pseudoconsole, "Windows Terminal"},
        {true, true, L"PseudoConsoleWindow", ConsoleHost::Pseudoconsole, "a stand-in shown"},
        {true, false, L"ConsoleWindowClass", ConsoleHost::Pseudoconsole, "a hidden window"},
        {true, false, L"WineConsoleClass", ConsoleHost::NoWindow, "wine's on a terminal"},
        {true, true, L"WineConsoleClass", ConsoleHost::Window, "wine's own console window"},
        {false, false, L"", ConsoleHost::NoWindow, "no window found"},
    };
    for (const auto& [haveWindow, visible, windowClass, expected, what] : cases) {
        EXPECT_EQ(consoleHost(haveWindow, visible, windowClass), expected) << what;
    }
}

TEST(WindowsConsoleSize, TheWindowAskedForIsAsLargeAsTheScreenAllowsAndTheNoticeAtTheTop) {
    const std::tuple<COORD, std::wstring, const char*> asked[] = {
        {{240, 80}, L"197 x 70", "a large screen"},
        {{237, 62}, L"197 x 62", "Consolas 16 on 1920 x 1080"},
        {{189, 49}, L"189 x 49", "the same at 125 %"},
        {{0, 0}, L"197 x 70", "the largest size not known"},
    };
    const auto size = [](SMALL_RECT r) {
        EXPECT_EQ(r.Left, 0);
        EXPECT_EQ(r.Top, 0);
        return std::to_wstring(r.Right - r.Left + 1) + L" x " +
               std::to_wstring(r.Bottom - r.Top + 1);
    };
    for (const auto& [screen, expected, what] : asked) {
        EXPECT_EQ(size(windowToAsk(screen)), expected) << what;
    }
    // A buffer shrunk under a prompt on line 9000 leaves the window low: up with it, same size.
    EXPECT_EQ(size(windowAtTop({0, 40, 119, 69}).value()), L"120 x 30");
    EXPECT_FALSE(windowAtTop({0, 0, 119, 29})) << "already at the top";
}

TEST(WindowsConsoleFont, TheLargestFontOfTheFaceThatShows197By70OnTheScreen) {
    // The largest window in cells with the font now, and its cell size in pixels.
    const std::tuple<COORD, COORD, std::optional<SHORT>, const char*> cases[] = {
        {{237, 62}, {8, 16}, 14, "Consolas 16 on 1920 x 1080"},
        {{189, 49}, {10, 20}, 14, "the same screen at 125 %"},
        {{168, 44}, {8, 16}, 10, "1366 x 768"},
        {{100, 120}, {8, 16}, 8, "a screen on its side: the width decides"},
        {{98, 35}, {8, 16}, std::nullopt, "800 x 600: only a font too small to read"},
        {{240, 75}, {8, 16}, std::nullopt, "the screen holds it: the window is to grow"},
        {{0, 0}, {8, 16}, std::nullopt, "nothing known"},
    };
    for (const auto& [window, cell, expected, what] : cases) {
        EXPECT_EQ(fontThatFits(window, cell), expected) << what;
    }
}

TEST(WindowsConsoleFont, TheNoticeNamesTheWindowMenuAndOffersFWhereAFontFits) {
    const auto text = [](bool inWindow, bool offered) {
        std::string all;
        for (const std::string& line : windowsNoticeLines({150, 50}, inWindow, offered)) {
            all += line + "|";
        }
        return all;
    };
    EXPECT_NE(text(true, true).find("Eigenschaften › Schriftart"_cp), std::string::npos);
    EXPECT_NE(text(true, true).find("|Mit F "), std::string::npos);
    EXPECT_EQ(text(true, false).find("Mit F "), std::string::npos);
    EXPECT_EQ(text(false, false).find("Fenstermenü"_cp), std::string::npos) << "a terminal's";
    EXPECT_TRUE(text(true, true).ends_with("||Esc beendet das Programm.|"));
}

TEST(WindowsConsoleGate, TheHandBackWaitsForAPaintHalfASecondOnTheClockNotInSleeps) {
    // Each sleep of 1 ms lasts a timer tick of 15.6 ms, as on Windows by default.
    static double now = 0;
    static int sleeps = 0;
    const ConsoleGate::Clock ticking{[] { return static_cast<ULONGLONG>(now); },
                                     [] { now += 15.6, ++sleeps; }};
    ConsoleGate gate;
    ASSERT_TRUE(gate.startPainting());
    EXPECT_TRUE(gate.takeForTheEnd(ticking)) << "a paint that does not end is not waited for";
    EXPECT_NEAR(now, 510, 10);
    EXPECT_FALSE(gate.startPainting()) << "nothing is painted while the console is handed back";
    gate.handedBack();
    sleeps = 0;
    EXPECT_FALSE(gate.takeForTheEnd(ticking)) << "the other thread has handed it back";
    EXPECT_EQ(sleeps, 0);
}

#endif
