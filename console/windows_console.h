#pragma once

// The console on Windows: keys through _getch, output painted from the screen model through
// the console API, once per blocking point, with the text handed over as UTF-16 so that it
// does not depend on the console's code page.

#include "console/backend.h"
#include "console/painter.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <optional>
#include <string>
#include <windows.h>

// Paints on a console screen buffer. When the handle is no console (output redirected to a
// file or a pipe), only the text goes out, as Windows-1252 bytes.
class ConsoleApiSink : public PaintSink {
  public:
    // defaultAttribute stands in for DefaultColor: the colours the console had at start.
    ConsoleApiSink(HANDLE output, WORD defaultAttribute);

    void clear(std::uint8_t color) override;
    void cells(ScreenPos start, const Cell* cells, int count) override;
    void cursor(ScreenPos pos, bool visible) override;

    // Forget what the console state was: the next paint sets attribute and cursor afresh.
    void forget();

  private:
    WORD attributeFor(std::uint8_t color) const;
    void useAttribute(WORD attribute);

    HANDLE output_;
    WORD defaultAttribute_;
    bool isConsole_;
    int attribute_ = -1;
    int visible_ = -1;
    std::wstring text_;
};

// Where the codes of _getch come from; tests script them.
class KeyCodeSource {
  public:
    virtual ~KeyCodeSource() = default;
    // The next code as _getch returns it: a byte, or EOF once the console cannot be read.
    virtual int nextCode() = 0;
    // True when the second code of a two-code key is waiting (_kbhit after a 0 or 224).
    virtual bool codeWaiting() = 0;
};

// The character a byte of the console's input code page stands for, as a Windows-1252 byte;
// '?' where Windows-1252 has none.
unsigned char cp1252FromConsoleByte(unsigned char byte, UINT codePage);

// The next key: a two-code key as {0 or 224, second}, a typed character as its Windows-1252
// byte. Nothing once the console cannot be read any more.
std::optional<KeyEvent> readConsoleKey(KeyCodeSource& source, UINT inputCodePage);

class WindowsConsole : public ConsoleBackend {
  public:
    // Without waitForRoom the set-up sizes the console but does not wait, with the notice,
    // while the window cannot show all of it (a screen buffer that is not on display).
    explicit WindowsConsole(bool waitForRoom = true) : waitForRoom_(waitForRoom) {}

    void setup() override;
    void present(Screen& screen) override;
    std::optional<KeyEvent> readKeyEvent() override;
    void sleep(int milliseconds) override;
    void restore() override;

  private:
    void makeBigEnough();
    void waitForBigEnoughConsole();
    void showSizeNotice(int columns, int lines);
    // Waits a while for a key; Escape ends the program.
    void waitForEscape(int milliseconds);
    [[noreturn]] void interrupt();

    bool waitForRoom_;
    HANDLE output_ = INVALID_HANDLE_VALUE;
    HANDLE input_ = INVALID_HANDLE_VALUE;
    bool isConsole_ = false;
    bool setUp_ = false;
    DWORD savedMode_ = 0;
    WORD savedAttribute_ = 7;
    CONSOLE_CURSOR_INFO savedCursor_{25, TRUE};
    std::wstring savedTitle_;
    bool haveTitle_ = false;
    PaintedScreen front_;
    // The line below the size notice, when one was shown.
    int keepBelow_ = 0;
    std::optional<ConsoleApiSink> sink_;
};
