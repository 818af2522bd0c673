#include "app/program.h"
#include "console/console.h"
#include "console/platform.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// English, as command-line help and manual pages are, and plain ASCII: it goes to whatever
// terminal, pipe or file the caller has, in whatever character set. Each platform's text says
// what is true there; the manual page (doc/kentermeer.6) says the same as the Unix one at more
// length, the zip's LIESMICH.txt as the Windows one in German.

// The part of the help that is the same on both platforms.
#define HELP_OPTIONS_AND_MENU_KEYS                                                                 \
    "\n"                                                                                           \
    "Options:\n"                                                                                   \
    "  --help       print this text and exit\n"                                                    \
    "  --version    print the version and exit\n"                                                  \
    "Any other argument is ignored.\n"                                                             \
    "\n"                                                                                           \
    "Keys:\n"                                                                                      \
    "  Up, Down     move the mark in a menu; change a switch in the options menu\n"                \
    "  Enter        choose the marked entry; keep a changed switch\n"

#ifdef _WIN32
constexpr std::string_view HelpText =
    R"(Usage: kentermeer [--help | --version]

Kentermeer is a ship-battle game for the console, played against the computer:
each side hides four one-cell ships on a grid of up to 17 x 8 cells, and the
first to hit all four ships of the other wins. Its screens are German.
It needs a console window of at least 197 columns by 70 lines; while the window
is smaller, it shows a notice instead and goes on once the window is big
enough. In a console window of its own it grows the window as far as the
screen allows; where a smaller font would fit, F at the notice sets it for the
game, and the window gets its own font back at the end.
)" HELP_OPTIONS_AND_MENU_KEYS
    R"(  Escape       leave the options menu; drop the change of a switch; end the
               program at the window-size notice
  b3 Enter     type a cell (letter and digit) to place a ship or to fire
  12 Enter     type a board size in the options menu
  any key      leave Info, Changelog and the end of a game
  Ctrl+C       end the game at once; the options file stays as it was

Files:
  Kentermeer\Optionen.cfg in the user's roaming application data folder,
  usually C:\Users\<name>\AppData\Roaming\Kentermeer\Optionen.cfg
               the options, read at start; written at "Beenden" when
               "Optionen speichern" is on, else removed, and the folder
               with it if nothing else is in it.

Exit status:
  0            after "Beenden", or when the input ends
  0xC000013A   ended by Ctrl+C, Ctrl+Break or closing the window
               (cmd's %ERRORLEVEL% shows it as -1073741510)
)";
#else
constexpr std::string_view HelpText = R"(Usage: kentermeer [--help | --version]

Kentermeer is a ship-battle game for the text console, played against the
computer: each side hides four one-cell ships on a grid of up to 17 x 8 cells,
and the first to hit all four ships of the other wins. Its screens are German.
It needs a terminal of at least 197 columns by 70 lines; while the window is
smaller, it shows a notice instead and goes on once the window is big enough.
)" HELP_OPTIONS_AND_MENU_KEYS R"(  Escape       leave the options menu; drop the change of a switch
  b3 Enter     type a cell (letter and digit) to place a ship or to fire
  12 Enter     type a board size in the options menu
  any key      leave Info, Changelog and the end of a game
  Ctrl+C       end the game at once; the options file stays as it was
  Ctrl+Z       suspend the game until the shell's fg
  Ctrl+L       paint the whole screen again, over what else wrote on it

Files:
  $XDG_CONFIG_HOME/Kentermeer/Optionen.cfg
               the options, read at start; written at "Beenden" when
               "Optionen speichern" is on, else removed, and the folder
               with it if nothing else is in it.
               Without XDG_CONFIG_HOME: ~/.config/Kentermeer/Optionen.cfg

Environment:
  XDG_CONFIG_HOME, HOME
               where the options file lives (absolute paths only)
  LC_ALL, LC_CTYPE, LANG
               the first one set gives the terminal's character set:
               ISO-8859-1 or ISO-8859-15 where its locale has it, or
               for a locale not installed where its name says so
               (de_DE.ISO-8859-15, de_DE@euro); else UTF-8
  KONSOLE_VERSION
               Konsole: no request for the window size
  STY, TMUX    STY without TMUX, GNU screen: blanks instead of erasing
  TERM, COLORFGBG
               rxvt* with a COLORFGBG of 0;...: urxvt with a black cursor,
               which is light green while the game runs

Exit status:
  0            after "Beenden", or when the input ends
  1            when the output fails for good: the terminal hung up, or the
               file it goes to is full or at its size limit
  128+n        ended by signal n, as the shell reports it, the terminal
               handed back: 130 for Ctrl+C, 141 for a closed pipe
)";
#endif

constexpr std::string_view VersionText = "kentermeer " KENTERMEER_VERSION "\n";

// The exit code: 0 when all of the text got out.
int printText(std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

// --help and --version are answered before the console is touched, so they leave the
// terminal's modes and the options file alone. Any other argument is ignored.
std::optional<int> answerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            return printText(HelpText);
        }
        if (argument == "--version") {
            return printText(VersionText);
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = answerCommandLine(argc, argv)) {
        return *status;
    }
    installConsoleBackend(&platformConsole());
    runProgram();
    endProgram();
}
