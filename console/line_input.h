#pragma once

// The console's line input: typed characters are echoed at the cursor in the current colour,
// Backspace takes back the last one, Escape the whole line, Enter ends the line. The echo
// stays on the cursor's line, clipped at its end; Enter leaves the cursor on that line.

#include "console/keys.h"
#include "console/screen.h"

#include <functional>
#include <optional>
#include <string>

// Longer lines are cut here; the console's own line input has a limit too.
inline constexpr std::size_t MaxLineLength = 1024;

// Reads one line with echo: the typed text stays on screen with the cursor behind it; a line
// of nothing but blanks leaves the screen and the cursor as they were. Returns nothing when
// the input ends before anything was typed; a line cut short by the end of input counts as
// typed.
std::optional<std::string> editLine(Screen& screen,
                                    const std::function<std::optional<KeyEvent>()>& nextKey);

// What was typed and not yet read: the rest of the last line, words read one at a time.
class TypedAhead {
  public:
    // Skips blanks and line ends; false when nothing but blanks is left.
    bool skipBlanks();
    std::string takeWord();
    // strtol-like: an optional sign and decimal digits; nothing when there are no digits or
    // the number does not fit into 32 bits. Reads on to the first character that is no digit.
    std::optional<std::int32_t> takeNumber();
    void discardLine();
    // Called once skipBlanks found nothing left.
    void addLine(const std::string& line) {
        text_ = line + '\n';
        pos_ = 0;
    }
    void clear() {
        text_.clear();
        pos_ = 0;
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};
