#include "console/terminal_profile.h"

#include <cstdlib>

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool isSet(const char* name) {
    return std::getenv(name) != nullptr;
}

// Whether urxvt's default foreground is black (palette colour 0), as in its default: the
// first of COLORFGBG's palette numbers ("0;15", or "0;default;15" with a background image).
bool urxvtForegroundIsBlack(const std::string& colorFgBg) {
    return colorFgBg.substr(0, colorFgBg.find(';')) == "0";
}

} // namespace

TerminalEnvironment currentTerminalEnvironment() {
    return {variable("TERM"), variable("COLORFGBG"), isSet("KONSOLE_VERSION"), isSet("STY"),
            isSet("TMUX")};
}

TerminalProfile terminalProfile(const TerminalEnvironment& environment) {
    TerminalProfile profile;
    profile.requestSize = !environment.konsole;
    profile.mayErase = !environment.screen || environment.tmux;
    // urxvt draws the cursor in its default foreground, so a black one vanishes on the
    // game's black. It takes a cursor colour but has no reset for it (OSC 112); it does take
    // palette numbers, and palette colour 0 is the black its cursor had. The cursor shows in
    // the echo's light green (10) meanwhile.
    if (environment.term.starts_with("rxvt") && urxvtForegroundIsBlack(environment.colorFgBg)) {
        profile.cursorColor = "\x1b]12;10\x07";
        profile.cursorColorReset = "\x1b]12;0\x07";
    }
    return profile;
}
