#pragma once

// Where a terminal's own ways need the program to behave differently, told by the
// environment variables the terminals and multiplexers set for the programs they run.

#include <string>

struct TerminalEnvironment {
    std::string term;      // TERM
    std::string colorFgBg; // COLORFGBG: urxvt's default colours as palette numbers, "fg;bg"
    bool konsole = false;  // KONSOLE_VERSION is set
    bool screen = false;   // STY is set: inside GNU screen ...
    bool tmux = false;     // ... unless TMUX is set too, as in a tmux started from a screen window
};

// The environment this process was started with.
TerminalEnvironment currentTerminalEnvironment();

struct TerminalProfile {
    // Ask for 197 x 70 at start. Konsole resizes the terminal but not its window: the size
    // would look right while the window shows only part of the screen, and no notice says so.
    bool requestSize = true;
    // Erased cells take the current background colour. GNU screen leaves background-colour
    // erase off unless the user turns it on, and then the game would stand on the
    // terminal's default background: every erase is written as blanks instead.
    bool mayErase = true;
    // Sets a cursor colour that shows on black while the game runs, and puts the terminal's
    // own back; both empty where the cursor shows anyway.
    std::string cursorColor;
    std::string cursorColorReset;
};

TerminalProfile terminalProfile(const TerminalEnvironment& environment);
