#pragma once

// The seam between the console primitives and a real (or virtual) console. The primitives
// keep the screen model; a backend shows it and delivers keys, pauses and random numbers.

#include "console/keys.h"
#include "console/screen.h"

#include <optional>

class ConsoleBackend {
  public:
    virtual ~ConsoleBackend() = default;
    // Size, title and anything else the console needs once, before the first drawing.
    virtual void setup() = 0;
    // Shows what changed in the model since the last call; called just before the program
    // blocks. Clears the model's change marks.
    virtual void present(Screen& screen) = 0;
    // Blocks for the next key; nothing once the input has ended.
    virtual std::optional<KeyEvent> readKeyEvent() = 0;
    // Forgets the keys typed and not read yet.
    virtual void dropPendingKeys() {}
    // The next paint shows the whole model, as if the console had shown something else.
    virtual void forgetWhatTheConsoleShows() {}
    virtual void sleep(int milliseconds) = 0;
    // Hands the console back in the state the program found it, the last drawing left on it.
    virtual void restore() = 0;
    // True once the program is to end: the input ended, or Escape was pressed, while setup or
    // present waited for a window big enough. The primitives then end it.
    virtual bool ended() const { return false; }
    virtual int random();
};

// The backend the primitives use from now on. Also starts a fresh screen model and drops
// any keys or typed text left from an earlier backend.
void installConsoleBackend(ConsoleBackend* backend);
// The model as the primitives have left it.
Screen& consoleScreen();
