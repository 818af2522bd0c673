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
        savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, buffer);
        installConsoleBackend(&console);
        setupConsole();
    }
    void TearDown() override {
        installConsoleBackend(nullptr);
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
        wchar_t text[64] = {};
        GetConsoleTitleW(text, 64);
        title = text;
    }

    static constexpr WORD StartAttribute = 0x1E; // yellow on blue, as someone's console may be
    HANDLE buffer = INVALID_HANDLE_VALUE;
    HANDLE savedOutput = nullptr;
    WindowsConsole console{false};
    CONSOLE_SCREEN_BUFFER_INFO info{};
    CONSOLE_CURSOR_INFO cursor{};
    std::wstring title;
};

} // namespace

TEST_F(WindowsConsoleTest, PaintingMatchesTheModelInColoursUmlautsClearsAndScrolling) {
    clearScreen();
    pause(0);
    EXPECT_EQ(colours(50)[100], StartAttribute) << "the first clear keeps the console's colours";

    setColor(DarkGreen);
    writeAt({3, 3}, "[ ] Info");
    clearScreen();
    writeAt({0, 1}, "oben");
    setColor(LightGreen);
    writeAt({0, 60}, std::string("äöüß°Û € "_cp) + "\x07\x81");
    setColor(Yellow);
    writeNumber(2);
    setColor(LightRed);
    writeText(" ein: ");
    pause(0);
    EXPECT_EQ(colours(69)[196], DarkGreen) << "later clears take the current colour";
    EXPECT_EQ(text(60).substr(0, 11), L"äöüß°Û € ??") << "control bytes never reach the console";
    expectBufferMatchesModel();

    writeAt({190, 69}, "#######");
    pause(0);
    EXPECT_EQ(text(0).substr(0, 4), L"oben") << "the model scrolled once, the console with it";
    expectBufferMatchesModel();
    writeAt({196, 68}, "#");
    pause(0);
    expectBufferMatchesModel();
}

TEST_F(WindowsConsoleTest, SizeTitleAndCursorFollowTheProgramAndRestoreHandsThemBack) {
    look();
    EXPECT_EQ(info.dwSize.X, ConsoleWidth);
    EXPECT_EQ(info.dwSize.Y, ConsoleHeight);
    EXPECT_EQ(title, L"Kentermeer");

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
    look();
    EXPECT_EQ(text(44).substr(80, 11), L"[ ] Beenden");
    EXPECT_EQ(info.wAttributes, StartAttribute);
    EXPECT_EQ(info.dwCursorPosition.Y, 45) << "the prompt comes below the drawing";
    EXPECT_TRUE(cursor.bVisible);
    EXPECT_EQ(title, L"Eingabeaufforderung");
}

namespace {

// _getch as a script: each code, and whether the second code of a two-code key waits after it.
struct ScriptedCodes : KeyCodeSource {
    std::vector<std::pair<int, bool>> codes;
    std::size_t next = 0;
    bool waiting = false;

    int nextCode() override {
        waiting = next < codes.size() && codes[next].second;
        return next < codes.size() ? codes[next++].first : EOF;
    }
    bool codeWaiting() override { return waiting; }
};

using Keys = std::vector<KeyEvent>;
constexpr bool Waits = true;

// The keys read from a script until the console cannot be read any more.
Keys keysFrom(std::initializer_list<std::pair<int, bool>> script, UINT codePage) {
    ScriptedCodes codes;
    codes.codes = script;
    Keys keys;
    for (std::optional<KeyEvent> key;
         keys.size() < 10 && (key = readConsoleKey(codes, codePage));) {
        keys.push_back(*key);
    }
    return keys;
}

} // namespace

TEST(WindowsKeys, TwoCodeKeysKeepTheirPrefixAndALone224IsATypedCharacter) {
    // The second Down sign-extended, as wine's C runtime hands out bytes above 127.
    EXPECT_EQ(keysFrom({{224, Waits}, {72, 0}, {-32, Waits}, {80, 0}, {13, 0}}, 437),
              (Keys{{224, 72}, {224, 80}, {13, -1}}));
    EXPECT_EQ(keysFrom({{0, Waits}, {72, 0}, {0, Waits}, {59, 0}, {27, 0}}, 437),
              (Keys{{0, 72}, {0, 59}, {27, -1}}))
        << "keypad Up with Num Lock off, F1, Escape";
    // à in Windows-1252; in code page 437 it is α, which Windows-1252 does not have.
    EXPECT_EQ(keysFrom({{224, 0}, {'b', 0}}, 1252), (Keys{{0xE0, -1}, {'b', -1}}));
    EXPECT_EQ(keysFrom({{224, 0}, {'3', 0}}, 437), (Keys{{'?', -1}, {'3', -1}}));
    EXPECT_EQ(keysFrom({{0, 0}, {'x', 0}}, 437), (Keys{{'x', -1}})) << "Ctrl+Space is no key";
    EXPECT_EQ(keysFrom({}, 437), Keys{}) << "a console that cannot be read ends the input";
}

TEST(WindowsKeys, TypedCharactersOfTheInputCodePageBecomeWindows1252) {
    // ä in code page 437, once as an unsigned byte and once sign-extended, as some C
    // runtimes hand it out; ß in code page 850; ö in Windows-1252 itself.
    EXPECT_EQ(keysFrom({{0x84, 0}, {-124, 0}}, 437), (Keys{{0xE4, -1}, {0xE4, -1}}));
    EXPECT_EQ(keysFrom({{0xE1, 0}}, 850), (Keys{{0xDF, -1}}));
    EXPECT_EQ(keysFrom({{0xF6, 0}}, 1252), (Keys{{0xF6, -1}}));
    EXPECT_EQ(cp1252FromConsoleByte(0xB0, 437), '?') << "a box-drawing shade";
    EXPECT_EQ(cp1252FromConsoleByte('a', 65001), 'a');
}

#endif
