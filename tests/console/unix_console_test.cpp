// The Unix backend on pipes and on a pseudo-terminal. A closed input or output, signals,
// resizes and the modes handed back are proven on a real terminal by tests/e2e/terminal_test.sh.

#include "console/console.h"
#include "console/unix_console.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>

TEST(UnixConsole, PaintsOnceAtEachBlockingPointAndReadsKeysAndLines) {
    int toProgram[2];
    int fromProgram[2];
    ASSERT_EQ(pipe(toProgram) | pipe(fromProgram), 0);
    UnixConsole console(toProgram[0], fromProgram[1]);
    installConsoleBackend(&console);
    clearScreen();
    writeAt({80, 40}, "[ ] Spiel gegen Computer");
    writeAt({80, 42}, "[ ] Optionen");
    pause(0);
    pause(0); // an unchanged screen is not sent again
    EXPECT_EQ(console.writeCount(), 1) << "not one write for the items drawn before the pause";
    ASSERT_EQ(write(toProgram[1], "\x1b[Bb3 c4\n\x1b", 10), 10);
    EXPECT_EQ(readKey(), KeyDown);
    EXPECT_EQ(readWord(), "b3");
    EXPECT_EQ(readWord(), "c4");
    EXPECT_EQ(readKey(), KeyEscape) << "a lone Escape is a key once the terminal stays quiet";
    installConsoleBackend(nullptr);
    for (const int fd : {toProgram[0], toProgram[1], fromProgram[0], fromProgram[1]}) {
        close(fd);
    }
}

namespace {

// On a pseudo-terminal: a key typed ahead and dropped, one read, then the terminal hangs up.
void dropTypedAheadThenHangUp() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    const int terminal = grantpt(master) == 0 && unlockpt(master) == 0
                             ? open(ptsname(master), O_RDWR | O_NOCTTY)
                             : -1;
    // Types a key and waits until the terminal has it.
    const auto type = [&](const char* key) {
        pollfd typed{terminal, POLLIN, 0};
        return write(master, key, 1) == 1 && poll(&typed, 1, 5000) == 1;
    };
    UnixConsole console(terminal, terminal);
    installConsoleBackend(&console);
    setupConsole();
    if (type("q") && (dropTypedAhead(), type("A")) && readKey() == 'A') {
        close(master);
        readKey();
    }
}

} // namespace

TEST(UnixConsole, DropsWhatWasTypedAheadAndEndsWithStatus1WhenTheTerminalHangsUp) {
    EXPECT_EXIT(dropTypedAheadThenHangUp(), testing::ExitedWithCode(1), "");
}

namespace {

// Starts on a terminal of 80 x 24, the keys from a pipe that sends `typed`, then ends or not.
[[noreturn]] void startInASmallWindow(std::string_view typed, bool inputEnds) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    const int terminal = grantpt(master) == 0 && unlockpt(master) == 0
                             ? open(ptsname(master), O_RDWR | O_NOCTTY)
                             : -1;
    const winsize small{24, 80, 0, 0};
    int keys[2];
    if (ioctl(terminal, TIOCSWINSZ, &small) != 0 || pipe(keys) != 0 ||
        write(keys[1], typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) {
        std::exit(2);
    }
    if (inputEnds) {
        close(keys[1]);
    }
    UnixConsole console(keys[0], terminal);
    installConsoleBackend(&console);
    setupConsole();
    std::exit(3); // the program went on
}

} // namespace

TEST(UnixConsole, EscapeOrTheEndOfTheInputOnTheStartUpNoticeEndsTheProgram) {
    EXPECT_EXIT(startInASmallWindow("\x1b", false), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(startInASmallWindow("x", true), testing::ExitedWithCode(0), "");
}

TEST(UnixConsole, FollowsTheLocalesCharacterSetUtf8WhereItSaysNothing) {
    EXPECT_EQ(charsetNamed("ISO-8859-1"), Charset::Latin1);
    EXPECT_EQ(charsetNamed("iso8859-15"), Charset::Latin9);
    EXPECT_EQ(charsetNamed("ANSI_X3.4-1968"), Charset::Utf8);
}
