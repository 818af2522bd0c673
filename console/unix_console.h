#pragma once

// The console on a Unix terminal: raw keyboard input through termios, output as ANSI/VT
// sequences painted from the screen model in one write per blocking point.

#include "console/backend.h"
#include "console/painter.h"
#include "console/terminal_profile.h"
#include "console/vt_output.h"

#include <deque>
#include <string_view>

// The character set a locale's codeset name (nl_langinfo(CODESET)) stands for: UTF-8 unless
// it names Latin-1 or Latin-9, also where it says nothing of its own (C, POSIX).
Charset charsetNamed(std::string_view codeset);
// The character set a locale's name (de_DE.ISO-8859-15, de_DE@euro) says, for a locale that
// is not installed.
Charset charsetOfLocaleName(std::string_view name);
// The character set of the user's locale: LC_ALL, LC_CTYPE or LANG, the first one set.
Charset localeCharset();

class UnixConsole : public ConsoleBackend, private ByteSource {
  public:
    // profile: what the terminal needs done its own way (the environment's, for the game).
    UnixConsole(int inputFd, int outputFd, Charset charset = Charset::Utf8,
                TerminalProfile profile = {});
    ~UnixConsole() override;

    void setup() override;
    // Paints nothing while the window is too small; the model is painted whole once it fits.
    void present(Screen& screen) override;
    std::optional<KeyEvent> readKeyEvent() override;
    void dropPendingKeys() override;
    void forgetWhatTheConsoleShows() override { forgetWhatTheTerminalShows(); }
    void sleep(int milliseconds) override;
    void restore() override;
    bool ended() const override { return ended_; }

    // How many writes reached the terminal; one per paint that had anything to send.
    int writeCount() const { return writeCount_; }

  private:
    // Waits while the window is too small: the keys typed meanwhile stay unread, so that
    // nothing is answered on a screen the player cannot see.
    ByteRead readByte(int waitMs, unsigned char& byte) override;
    void enterRawMode();
    void installSignalHandlers();
    // A terminal that reports keys in the kitty keyboard protocol sends Ctrl+C and Ctrl+Z as
    // keys, not as signals: they end or suspend the program as the signals do.
    void signalForKey(const KeyEvent& key);
    // At start-up, while the window is too small, Escape ends the program as the notice
    // says; the other keys are kept for the program.
    void waitAtStartUpForBigEnoughWindow();
    // Shows the size notice while the window is too small, else the program's screen.
    // afresh: what the terminal shows is unknown (a resize, a return from suspension).
    void fitToWindow(bool afresh);
    void showSizeNotice(int columns, int lines);
    // The next paint draws the whole screen, with no colour or cursor place taken for known.
    void forgetWhatTheTerminalShows();
    // Waits up to waitMs (for ever when negative) for a wake-up, for the output to go and,
    // with forInput, for input. 1: input waits, 0: not (yet), -1: poll failed.
    int wait(int waitMs, bool forInput);
    // Deals with what the signal handlers noted: a resize, a return from suspension.
    void handleWakeUps();
    void writeAll(const std::string& bytes);
    // The output has gone for good: what can be restored is, and the program ends.
    [[noreturn]] void endForLostOutput(int error);

    int input_;
    int output_;
    bool inputIsTerminal_;
    bool outputIsTerminal_;
    Charset charset_;
    TerminalProfile profile_;
    KeyDecoder decoder_;
    PaintedScreen front_;
    VtEncoder encoder_;
    Screen* lastScreen_ = nullptr;
    // The window's size while the size notice shows in place of the program's screen.
    bool noticeShown_ = false;
    ScreenPos noticeSize_{};
    bool startingUp_ = false;
    // Escape on the start-up notice, or the end of the input there.
    bool ended_ = false;
    bool outputGone_ = false;
    // Keys typed while the start-up waited for a big enough window, the first
    // MaxHeldBackKeys of them.
    std::deque<KeyEvent> heldBack_;
    static constexpr std::size_t MaxHeldBackKeys = 4096;
    int writeCount_ = 0;
};
