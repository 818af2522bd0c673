#pragma once

// The console on Windows: keys read as console input records, output painted from the screen
// model through the console API, once per blocking point, as a few rectangles of cells with
// their text in UTF-16, so that neither depends on the console's code pages.

#include "console/backend.h"
#include "console/painter.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

// Paints on a console screen buffer. The runs of one paint are gathered per line and sent when
// the paint ends, each as part of a rectangle of cells (character and attribute together);
// neighbouring lines share a rectangle where that rewrites at most a line's worth of unchanged
// cells. So a paint takes at most one call per changed line, and most take one or two. When
// the handle is no console (output redirected to a file or a pipe), only the text goes out, as
// Windows-1252 bytes.
class ConsoleApiSink : public PaintSink {
  public:
    // defaultAttribute stands in for DefaultColor: the colours the console had at start.
    ConsoleApiSink(HANDLE output, WORD defaultAttribute);

    void clear(std::uint8_t color) override;
    void cells(ScreenPos start, const Cell* cells, int count) override;
    void cursor(ScreenPos pos, bool visible) override;

    // False where the handle is a file or a pipe.
    bool isConsole() const { return isConsole_; }
    // Forget where the cursor is and whether it shows: the next paint sets both afresh.
    void forget();
    // The size of the console's buffer, which a clear blanks whole.
    void setBufferSize(COORD size) { bufferSize_ = size; }
    // Cells beyond this size are not written: wine's console on a smaller terminal would wrap
    // them onto the terminal's next line.
    void limitTo(COORD size) { limit_ = size; }
    // The last line with visible text on the console: -1 when there is none, -2 when the
    // console has not been cleared yet and what it holds is not known.
    int lastDrawnLine() const;

    // The console calls made so far, and the cells they wrote.
    long calls() const { return calls_; }
    long cellsWritten() const { return cellsWritten_; }

  private:
    WORD attributeFor(std::uint8_t color) const;
    void writeChangedLines();
    void writeRectangle(SMALL_RECT rectangle);

    HANDLE output_;
    WORD defaultAttribute_;
    bool isConsole_;
    COORD bufferSize_{ConsoleWidth, ConsoleHeight};
    COORD limit_{ConsoleWidth, ConsoleHeight};
    bool cleared_ = false;
    // What the console shows, as far as this sink has put it there.
    std::array<CHAR_INFO, ConsoleWidth * ConsoleHeight> shown_{};
    // The first and last column changed on each line since the last paint ended.
    std::array<std::pair<int, int>, ConsoleHeight> changed_{};
    ScreenPos cursorAt_{-1, -1};
    int visible_ = -1;
    long calls_ = 0;
    long cellsWritten_ = 0;
};

// The key a console input record stands for, as _getch reports it: a typed character as its
// Windows-1252 byte ('?' where Windows-1252 has none), an arrow, editing or function key as
// {224 or 0, second code}, with Shift, Ctrl or Alt giving the second codes _getch gives.
// Nothing for records that are no key (releases, Shift or Ctrl alone, mouse, focus).
// greyKeysMarked: the console marks the grey arrow and editing keys as enhanced, so that the
// keypad's (Num Lock off, first code 0) can be told from them. Where the host cannot tell them
// apart (wine's console and pseudoconsoles, which make the records from a terminal's input, or
// a record without a scan code) an arrow or editing key is the grey one: the keys players use.
std::optional<KeyEvent> keyFromRecord(const INPUT_RECORD& record, bool greyKeysMarked = true);

// Decides, before each paint, what the console's size asks for. A console that keeps a size of
// its own (a terminal host may refuse 197 x 70) is painted as it is, as long as its window
// shows 197 x 70; only a change of its buffer, after which the host may have moved the text,
// or a window that was too small, makes for one paint afresh.
class SizeWatch {
  public:
    enum class Step { Paint, PaintAfresh, ShowNotice, KeepWaiting };
    Step next(const CONSOLE_SCREEN_BUFFER_INFO& info);
    // The part of the buffer the window shows, as the last step saw it.
    COORD visible() const { return visible_; }
    // The next step shows the notice again where the window is still too small.
    void noticeChanged() { visible_ = {0, 0}; }

  private:
    COORD visible_{0, 0};
    COORD paintedBuffer_{0, 0};
    bool noticeShown_ = false;
};

// Who shows the console. A window of its own (conhost's), sized through the console API. A
// pseudoconsole, as Windows Terminal, VS Code and other terminals give their programs: its
// window is a hidden stand-in, and the size of the tab or pane is the terminal's to choose;
// it accepts any size asked of it, shrinks its own buffer to it and reports that, whatever the
// terminal shows. Or none to show (wine's console on a terminal), sized as a window is.
enum class ConsoleHost { Window, Pseudoconsole, NoWindow };
ConsoleHost consoleHost(bool haveWindow, bool visible, std::wstring_view windowClass);

// What the set-up asks of a console that sizes itself: a buffer of 197 x 70 and a window as
// large of it as the screen allows (largest: the largest window the screen can show, 0 x 0 where
// it is not known). A window that cannot be shown whole is refused whole, so it is asked no
// larger than that.
SMALL_RECT windowToAsk(COORD largest);

// The window of the same size at the buffer's top left, where the notice is drawn; nothing
// when it is there already. A buffer shrunk around a prompt far down leaves the window low.
std::optional<SMALL_RECT> windowAtTop(const SMALL_RECT& window);

// The height in pixels of the largest font of the console's face with which the screen shows
// 197 x 70: largest is the largest window the screen allows with the font now, whose cells
// are cell pixels large. Nothing when no smaller font fits, or only one too small to read.
std::optional<SHORT> fontThatFits(COORD largest, COORD cell);

// The notice in a console window: the same as on every platform, with the way to a smaller
// font in the window's menu, and the key F where fontOffered.
std::vector<std::string> windowsNoticeLines(COORD visible, bool inWindow, bool fontOffered);

// Who uses the console: the main thread while it paints, or whoever hands it back as the
// program ends, which is the main thread or, on Ctrl+C, Ctrl+Break or a closing window, the
// control handler's thread. Once it is handed back, nothing more is painted.
class ConsoleGate {
  public:
    struct Clock {
        ULONGLONG (*now)();
        void (*pause)();
    };
    // Milliseconds; the system ends a process 5 s after its window is closed.
    static constexpr ULONGLONG HandBackWait = 500;

    bool startPainting();
    void stopPainting();
    // Takes the console for handing it back; false when the other thread has handed it back.
    // A paint, or the other thread handing back, is waited for until HandBackWait has passed.
    bool takeForTheEnd(Clock clock);
    bool takeForTheEnd();
    void handedBack();
    void reset();

  private:
    volatile LONG user_ = 0;
};

// The gate of the program's console.
ConsoleGate& consoleGate();

class WindowsConsole : public ConsoleBackend {
  public:
    // Without waitForRoom the set-up sizes the console but does not wait, with the notice,
    // while the window cannot show all of it (a screen buffer that is not on display).
    explicit WindowsConsole(bool waitForRoom = true) : waitForRoom_(waitForRoom) {}
    ~WindowsConsole() override;

    void setup() override;
    void present(Screen& screen) override;
    std::optional<KeyEvent> readKeyEvent() override;
    void dropPendingKeys() override;
    void sleep(int milliseconds) override;
    void restore() override;
    bool ended() const override { return ended_; }

    const ConsoleApiSink* sink() const { return sink_ ? &*sink_ : nullptr; }

    // Ctrl+C, Ctrl+Break, the window closing: hands the console back and lets the system end
    // the process. Runs on a thread of its own, while the program may be painting.
    static BOOL WINAPI onConsoleEvent(DWORD event);

  private:
    HANDLE inputHandle();
    void makeBigEnough();
    void giveBackSize();
    // Paints the last screen afresh where the window has changed, or waits with the notice.
    void followSize();
    void saveFont();
    std::optional<SHORT> fontToOffer();
    bool setFontThatFits();
    // Waits, with the notice, while the window is too small; true when the console shows
    // something else than the last paint left on it.
    bool fitToWindow();
    void showSizeNotice(COORD visible);
    // Waits a while for a key; Escape, or the end of the input, ends the program.
    void waitForEscape(int milliseconds);
    void handBack();
    [[noreturn]] void interrupt();

    bool waitForRoom_;
    HANDLE output_ = INVALID_HANDLE_VALUE;
    HANDLE input_ = INVALID_HANDLE_VALUE;
    bool setUp_ = false;
    bool ended_ = false;
    bool greyKeysMarked_ = true;
    DWORD savedInputMode_ = 0;
    bool haveInputMode_ = false;
    WORD savedAttribute_ = 7;
    CONSOLE_CURSOR_INFO savedCursor_{25, TRUE};
    std::wstring savedTitle_;
    bool haveTitle_ = false;
    ConsoleHost host_ = ConsoleHost::Window;
    bool pseudoconsole_ = false;
    // The buffer's size and window at start, given back where the set-up changed them.
    CONSOLE_SCREEN_BUFFER_INFO savedSize_{};
    bool sizeAsked_ = false;
    CONSOLE_FONT_INFOEX savedFont_{};
    bool haveFont_ = false;
    bool fontChanged_ = false;
    bool fontOffered_ = false;
    Screen* lastScreen_ = nullptr;
    PaintedScreen front_;
    SizeWatch sizeWatch_;
    std::optional<ConsoleApiSink> sink_;
};
