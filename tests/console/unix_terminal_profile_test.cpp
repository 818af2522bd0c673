// The terminals that need their own ways, told by the environment, and what the Unix backend
// sends them. That the sequences work as meant was seen in Konsole, urxvt and GNU screen
// themselves (README, Terminals).

#include "console/console.h"
#include "console/unix_console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <regex>
#include <thread>
#include <unistd.h>

TEST(TerminalProfile, KonsoleGetsNoResizeRequestScreenNoErasingAndUrxvtALightCursor) {
    struct Case {
        TerminalEnvironment environment;
        bool requestSize;
        bool mayErase;
        std::string cursorColorReset;
    };
    const Case cases[] = {
        {{"xterm-256color", "", false, false, false}, true, true, ""},
        {{"xterm-256color", "", true, false, false}, false, true, ""}, // Konsole
        {{"screen.xterm-256color", "", false, true, false}, true, false, ""},
        // tmux erases in the background colour, also when started from a screen window.
        {{"tmux-256color", "", false, true, true}, true, true, ""},
        {{"rxvt-256color", "0;default;15", false, false, false}, true, true, "\x1b]12;0\x07"},
        {{"rxvt-unicode-256color", "15;0", false, false, false}, true, true, ""},
        // What a urxvt passes on to a multiplexer it runs is not the multiplexer's own.
        {{"screen", "0;15", false, true, false}, true, false, ""},
    };
    for (const Case& c : cases) {
        const TerminalProfile profile = terminalProfile(c.environment);
        EXPECT_EQ(profile.requestSize, c.requestSize) << c.environment.term;
        EXPECT_EQ(profile.mayErase, c.mayErase) << c.environment.term;
        EXPECT_EQ(profile.cursorColorReset, c.cursorColorReset) << c.environment.colorFgBg;
        EXPECT_EQ(profile.cursorColor.empty(), c.cursorColorReset.empty());
    }
}

namespace {

// Everything the backend sends a pseudo-terminal from its setup through two cleared screens
// with a line of text each to its restore.
std::string sessionOn(const TerminalProfile& profile) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    const int terminal = grantpt(master) == 0 && unlockpt(master) == 0
                             ? open(ptsname(master), O_RDWR | O_NOCTTY)
                             : -1;
    std::string sent;
    // A pty takes only so much before a write blocks.
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t got; (got = read(master, buffer, sizeof buffer)) > 0;) {
            sent.append(buffer, static_cast<std::size_t>(got));
        }
    });
    {
        UnixConsole console(terminal, terminal, Charset::Utf8, profile);
        installConsoleBackend(&console);
        setupConsole();
        setColor(LightRed);
        clearScreen();
        writeAt({10, 58}, "Feuer frei!");
        pause(0);
        clearScreen(); // the next turn: a line to blank, one to write
        writeAt({10, 57}, "Gegner am Zug");
        pause(0);
        console.restore();
        installConsoleBackend(nullptr);
    }
    close(terminal); // the reader's read fails once no one holds the terminal open
    reader.join();
    close(master);
    return sent;
}

} // namespace

TEST(TerminalProfile, TheBackendAsksErasesAndColoursTheCursorAsItsProfileSays) {
    const std::regex erase("\x1b\\[[0-9;]*[JKX]");
    const std::size_t none = std::string::npos;

    const std::string plain = sessionOn({});
    EXPECT_NE(plain.find("\x1b[8;70;197t"), none);
    EXPECT_TRUE(std::regex_search(plain, erase));
    EXPECT_EQ(plain.find("\x1b]12;"), none) << "a cursor colour where none is needed";
    // The title back from the stack; where there is none, an empty title rather than ours.
    EXPECT_NE(plain.find("\x1b]2;\x07\x1b[23;0t"), none);
    EXPECT_EQ(sessionOn(terminalProfile({"xterm", "", true, false, false})).find("\x1b[8;70;197t"),
              none);

    const std::string blanked = sessionOn(terminalProfile({"screen", "", false, true, false}));
    EXPECT_FALSE(std::regex_search(blanked, erase));
    // Blanks in the cleared screen's colour, light red on black, from the first line to the last.
    const std::string blanks(ConsoleWidth, ' ');
    EXPECT_NE(blanked.find("\x1b[91;40m\x1b[1H" + blanks + "\x1b[2H" + blanks), none);
    EXPECT_NE(blanked.find("\x1b[70H" + blanks), none);

    const std::string urxvt =
        sessionOn(terminalProfile({"rxvt-unicode", "0;15", false, false, false}));
    EXPECT_LT(urxvt.find("\x1b]12;10\x07"), urxvt.find("Feuer frei!"));
    EXPECT_TRUE(urxvt.ends_with("\x1b]12;0\x07\x1b[59H")) << "the cursor's black not put back";
}

TEST(TerminalProfile, AfterBlankingTheScreenTheEncoderMovesToAbsolutePositions) {
    VtEncoder encoder(Charset::Utf8, false);
    encoder.cursor({5, 58}, true);
    encoder.clear(LightRed);
    const Cell x{'x', LightRed};
    encoder.cells({10, 58}, &x, 1);
    // Not a move right from (5, 58): the blanks have left the cursor at the end of line 70.
    EXPECT_TRUE(
        encoder.output().ends_with("\x1b[70H" + std::string(ConsoleWidth, ' ') + "\x1b[59;11Hx"));
}
