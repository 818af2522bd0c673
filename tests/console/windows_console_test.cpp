#ifdef _WIN32

#include "console/console.h"
#include "console/windows_console.h"

#include <deque>
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
        savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, buffer);
        installConsoleBackend(&console);
        setupConsole();
    }
    void TearDown() override {
        installConsoleBackend(nullptr);
        if (savedOutput != nullptr) {
            SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
        }
        if (buffer != INVALID_HANDLE_VALUE) {
            CloseHandle(buffer);
        }
    }

    CONSOLE_SCREEN_BUFFER_INFO info() const {
        CONSOLE_SCREEN_BUFFER_INFO result{};
        GetConsoleScreenBufferInfo(buffer, &result);
        return result;
    }
    std::wstring textAt(ScreenPos pos, int length) const {
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(buffer, text.data(), static_cast<DWORD>(length),
                                    COORD{static_cast<SHORT>(pos.x), static_cast<SHORT>(pos.y)},
                                    &read);
        text.resize(read);
        return text;
    }
    std::vector<WORD> attributesAt(ScreenPos pos, int length) const {
        std::vector<WORD> attributes(static_cast<std::size_t>(length));
        DWORD read = 0;
        ReadConsoleOutputAttribute(buffer, attributes.data(), static_cast<DWORD>(length),
                                   COORD{static_cast<SHORT>(pos.x), static_cast<SHORT>(pos.y)},
                                   &read);
        attributes.resize(read);
        return attributes;
    }
    WORD attributeAt(ScreenPos pos) const { return attributesAt(pos, 1).at(0); }
    // Every cell of the buffer shows what the model holds, in the model's colour.
    void expectBufferMatchesModel() const {
        const Screen& model = consoleScreen();
        for (int y = 0; y < ConsoleHeight; ++y) {
            std::wstring text;
            std::vector<WORD> attributes;
            for (int x = 0; x < ConsoleWidth; ++x) {
                const Cell& cell = model.at(x, y);
                text.push_back(static_cast<wchar_t>(displayedCharacter(cell.ch)));
                attributes.push_back(cell.color == DefaultColor ? StartAttribute : cell.color);
            }
            ASSERT_EQ(textAt({0, y}, ConsoleWidth), text) << "line " << y;
            ASSERT_EQ(attributesAt({0, y}, ConsoleWidth), attributes) << "line " << y;
        }
    }

    static constexpr WORD StartAttribute = 0x1E; // yellow on blue, as someone's console may be
    HANDLE buffer = INVALID_HANDLE_VALUE;
    HANDLE savedOutput = nullptr;
    WindowsConsole console{false};
};

} // namespace

TEST_F(WindowsConsoleTest, SetupMakesTheBuffer197By70AndNamesTheWindow) {
    EXPECT_EQ(info().dwSize.X, ConsoleWidth);
    EXPECT_EQ(info().dwSize.Y, ConsoleHeight);
    wchar_t title[64] = {};
    GetConsoleTitleW(title, 64);
    EXPECT_STREQ(title, L"Kentermeer");
}

TEST_F(WindowsConsoleTest, TextKeepsItsColoursAndUmlautsWhateverTheCodePage) {
    clearScreen();
    setColor(DarkRed);
    writeAt({94, 37}, "Hauptmenü"_cp);
    setColor(LightRed);
    writeAt({10, 57}, "Bitte geben Sie die Koordinaten Ihres "_cp);
    setColor(Yellow);
    writeNumber(2);
    writeText(". Schiffes"_cp);
    setColor(LightRed);
    writeText(" ein: "_cp);
    setColor(LightGreen);
    writeAt({0, 60}, std::string("äöüß°Û € "_cp) + "\x07\x81");
    pause(0);

    EXPECT_EQ(textAt({94, 37}, 9), L"Hauptmenü");
    EXPECT_EQ(attributeAt({94, 37}), DarkRed);
    EXPECT_EQ(textAt({0, 60}, 11), L"äöüß°Û € ??") << "control bytes never reach the console";
    EXPECT_EQ(attributeAt({48, 57}), Yellow);
    EXPECT_EQ(attributeAt({59, 57}), LightRed);
    expectBufferMatchesModel();
}

TEST_F(WindowsConsoleTest, TheFirstClearKeepsTheConsolesColoursAndLaterOnesTheCurrentColour) {
    clearScreen();
    pause(0);
    EXPECT_EQ(attributeAt({100, 50}), StartAttribute);

    setColor(DarkGreen);
    writeAt({3, 3}, "[ ] Info");
    clearScreen();
    writeAt({5, 5}, "Info");
    pause(0);
    EXPECT_EQ(attributeAt({196, 69}), DarkGreen);
    EXPECT_EQ(textAt({3, 3}, 8), L"        ");
    expectBufferMatchesModel();
}

TEST_F(WindowsConsoleTest, WritingTheLastCellScrollsOnlyAsTheModelDoes) {
    clearScreen();
    setColor(BrightWhite);
    writeAt({0, 1}, "oben");
    writeAt({190, 69}, "#######");
    pause(0);
    EXPECT_EQ(textAt({0, 0}, 4), L"oben") << "the model scrolled once, the console with it";
    expectBufferMatchesModel();

    writeAt({196, 68}, "#");
    pause(0);
    expectBufferMatchesModel();
}

TEST_F(WindowsConsoleTest, TheCursorIsOneUnitHighAndShownOnlyWhereTheModelShowsIt) {
    setCursorVisible(false);
    writeAt({20, 30}, "b3");
    pause(0);
    CONSOLE_CURSOR_INFO cursor{};
    GetConsoleCursorInfo(buffer, &cursor);
    EXPECT_EQ(cursor.dwSize, 1u);
    EXPECT_FALSE(cursor.bVisible);
    EXPECT_EQ(info().dwCursorPosition.X, 22);
    EXPECT_EQ(info().dwCursorPosition.Y, 30);

    setCursorVisible(true);
    pause(0);
    GetConsoleCursorInfo(buffer, &cursor);
    EXPECT_EQ(cursor.dwSize, 1u);
    EXPECT_TRUE(cursor.bVisible);
}

TEST_F(WindowsConsoleTest, RestoreHandsBackColoursCursorAndTitleAndKeepsTheDrawing) {
    clearScreen();
    setCursorVisible(false);
    setColor(DarkGreen);
    writeAt({80, 44}, "[ ] Beenden");
    pause(0);
    console.restore();

    EXPECT_EQ(textAt({80, 44}, 11), L"[ ] Beenden");
    EXPECT_EQ(info().wAttributes, StartAttribute);
    EXPECT_EQ(info().dwCursorPosition.Y, 45) << "the prompt comes below the drawing";
    CONSOLE_CURSOR_INFO cursor{};
    GetConsoleCursorInfo(buffer, &cursor);
    EXPECT_TRUE(cursor.bVisible);
    wchar_t title[64] = {};
    GetConsoleTitleW(title, 64);
    EXPECT_STREQ(title, L"Eingabeaufforderung");
}

namespace {

// _getch as a script: codes in order, and whether a second code is waiting after each.
class ScriptedCodes : public KeyCodeSource {
  public:
    // A code followed by a second code of the same key.
    ScriptedCodes& key(int first, int second) {
        codes_.push_back({first, true});
        codes_.push_back({second, false});
        return *this;
    }
    ScriptedCodes& typed(int code) {
        codes_.push_back({code, false});
        return *this;
    }
    int nextCode() override {
        if (codes_.empty()) {
            return EOF;
        }
        last_ = codes_.front();
        codes_.pop_front();
        return last_.code;
    }
    bool codeWaiting() override { return last_.secondFollows; }

  private:
    struct Code {
        int code;
        bool secondFollows;
    };
    std::deque<Code> codes_;
    Code last_{0, false};
};

} // namespace

TEST(WindowsKeys, TwoCodeKeysKeepTheirPrefix) {
    ScriptedCodes codes;
    codes.key(224, 72).key(224, 80).key(0, 72).key(0, 59).typed(13).typed(27);
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{224, 72}));
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{224, 80}));
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{0, 72})) << "keypad Up with Num Lock off";
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{0, 59}));
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{13, -1}));
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{27, -1}));
}

TEST(WindowsKeys, ALone224IsATypedCharacterAndDoesNotSwallowTheNextKey) {
    ScriptedCodes codes;
    codes.typed(224).typed('b').typed(224).typed('3');
    EXPECT_EQ(readConsoleKey(codes, 1252), (KeyEvent{0xE0, -1})) << "à";
    EXPECT_EQ(readConsoleKey(codes, 1252), (KeyEvent{'b', -1}));
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{'?', -1})) << "α has no Windows-1252 byte";
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{'3', -1}));
}

TEST(WindowsKeys, TypedCharactersOfTheInputCodePageBecomeWindows1252) {
    ScriptedCodes codes;
    // ä in code page 437, once as an unsigned byte and once sign-extended, as some C
    // runtimes hand it out; ß in code page 850; ö in Windows-1252 itself.
    codes.typed(0x84).typed(-124).typed(0xE1).typed(0xF6);
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{0xE4, -1}));
    EXPECT_EQ(readConsoleKey(codes, 437), (KeyEvent{0xE4, -1}));
    EXPECT_EQ(readConsoleKey(codes, 850), (KeyEvent{0xDF, -1}));
    EXPECT_EQ(readConsoleKey(codes, 1252), (KeyEvent{0xF6, -1}));
    EXPECT_EQ(cp1252FromConsoleByte(0xB0, 437), '?') << "a box-drawing shade";
    EXPECT_EQ(cp1252FromConsoleByte('a', 65001), 'a');
}

TEST(WindowsKeys, AConsoleThatCannotBeReadEndsTheInput) {
    ScriptedCodes empty;
    EXPECT_EQ(readConsoleKey(empty, 437), std::nullopt);

    ScriptedCodes cutOff;
    cutOff.typed(0).typed('x');
    EXPECT_EQ(readConsoleKey(cutOff, 437), (KeyEvent{'x', -1})) << "Ctrl+Space is no key";
    EXPECT_EQ(readConsoleKey(cutOff, 437), std::nullopt);
}

#endif
