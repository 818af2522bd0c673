#pragma once

// The console on a Unix terminal: raw keyboard input through termios, output as ANSI/VT
// sequences painted from the screen model in one write per blocking point.

#include "console/backend.h"
#include "console/painter.h"
#include "console/vt_output.h"

#include <termios.h>

class UnixConsole : public ConsoleBackend, private ByteSource {
  public:
    UnixConsole(int inputFd, int outputFd);
    ~UnixConsole() override;

    void setup() override;
    void present(Screen& screen) override;
    std::optional<KeyEvent> readKeyEvent() override;
    void sleep(int milliseconds) override;
    void restore() override;

    // How many writes reached the terminal; one per paint that had anything to send.
    int writeCount() const { return writeCount_; }

  private:
    ByteRead readByte(int waitMs, unsigned char& byte) override;
    void enterRawMode();
    void installSignalHandlers();
    void waitForBigEnoughWindow();
    void showSizeNotice(int columns, int lines);
    // Deals with what the signal handlers noted: a resize, a return from suspension.
    void handleWakeUps();
    void writeAll(const std::string& bytes);

    int input_;
    int output_;
    bool inputIsTerminal_;
    bool outputIsTerminal_;
    bool rawMode_ = false;
    termios savedModes_{};
    KeyDecoder decoder_;
    PaintedScreen front_;
    VtEncoder encoder_;
    Screen* lastScreen_ = nullptr;
    int writeCount_ = 0;
};
