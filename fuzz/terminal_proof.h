#pragma once

// libvterm, the terminal inside Vim and Neovim, fed what the painter sends. What it shows
// afterwards must be the screen model: each byte's Windows-1252 character in its colour,
// blanks by their background, the cursor in its place and visibility.

#include "console/screen.h"

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

struct VTerm;
struct VTermScreen;

class TerminalProof {
  public:
    TerminalProof();
    ~TerminalProof();
    TerminalProof(const TerminalProof&) = delete;
    TerminalProof& operator=(const TerminalProof&) = delete;

    void feed(std::string_view bytes);
    // Empty when the terminal shows what the model holds on the lines given (all unless
    // given) and the cursor; else where and how it differs.
    std::string
    differenceFrom(const Screen& model,
                   std::bitset<ConsoleHeight> lines = std::bitset<ConsoleHeight>{}.set()) const;
    // The lines the terminal has changed since the last call.
    std::bitset<ConsoleHeight> takeChangedLines();
    // Sequences the terminal did not act on, for the checks to require there are none.
    const std::vector<std::string>& unknown() const { return unknown_; }

    // What a terminal must show for a byte of the model, worked out apart from the painter:
    // ASCII and Latin-1 letters as themselves, the letters Windows-1252 puts at 0x80 to 0x9F
    // as theirs, and '?' for control bytes and the bytes Windows-1252 leaves undefined.
    static char32_t shownFor(unsigned char byte);

  private:
    static int onTermProp(int prop, void* value, void* self);
    static int onDamage(int startRow, int endRow, void* self);
    static int onUnknownCsi(const char* leader, const long args[], int argcount,
                            const char* intermed, char command, void* self);

    VTerm* terminal_;
    VTermScreen* screen_;
    bool cursorVisible_ = true;
    std::bitset<ConsoleHeight> changedLines_;
    std::vector<std::string> unknown_;
};
