// The Unix backend on pipes and on a pseudo-terminal. A closed input or output, signals,
// resizes and the modes handed back are proven on a real terminal by tests/e2e/terminal_test.sh.

#include "console/console.h"
#include "console/unix_console.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

TEST(UnixConsole, PaintsOnceAtEachBlockingPointReadsKeysAndLinesAndRepaintsAllOnCtrlL) {
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
    ASSERT_EQ(write(toProgram[1], "\x0cx", 2), 2);
    EXPECT_EQ(readKey(), 'x') << "Ctrl+L reached the screen";
    char sent[4096];
    const std::string bytes(sent,
                            static_cast<std::size_t>(read(fromProgram[0], sent, sizeof sent)));
    EXPECT_NE(bytes.find("Optionen", bytes.find("Optionen") + 1), std::string::npos)
        << "Ctrl+L did not paint the screen again";
    installConsoleBackend(nullptr);
    for (const int fd : {toProgram[0], toProgram[1], fromProgram[0], fromProgram[1]}) {
        close(fd);
    }
}

namespace {

// The console set up on a new pseudo-terminal of `size`, unknown where 0 x 0, that reads the
// keys from `input`, or else from the terminal; kept to the end of the process. Gives the
// terminal, and in master the side the test types at.
int startOnTerminal(int& master, winsize size = {}, int input = -1) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    const int terminal = grantpt(master) == 0 && unlockpt(master) == 0
                             ? open(ptsname(master), O_RDWR | O_NOCTTY)
                             : -1;
    ioctl(terminal, TIOCSWINSZ, &size);
    installConsoleBackend(new UnixConsole(input < 0 ? terminal : input, terminal));
    setupConsole();
    return terminal;
}

} // namespace

TEST(UnixConsole, DropsWhatWasTypedAheadAndEndsWithStatus1WhenTheTerminalHangsUp) {
    const auto dropThenHangUp = [] {
        int master = -1;
        const int terminal = startOnTerminal(master);
        // Types a key and waits until the terminal has it.
        const auto type = [&](const char* key) {
            pollfd typed{terminal, POLLIN, 0};
            return write(master, key, 1) == 1 && poll(&typed, 1, 5000) == 1;
        };
        if (type("q") && (dropTypedAhead(), type("A")) && readKey() == 'A') {
            close(master);
            readKey();
        }
    };
    EXPECT_EXIT(dropThenHangUp(), testing::ExitedWithCode(1), "");
}

TEST(UnixConsole, EndsOnCtrlCSentAsAKeyAsOnTheSignal) {
    EXPECT_EXIT(
        {
            int master = -1;
            startOnTerminal(master);
            // As a terminal in the kitty keyboard protocol sends it: a key, not a signal.
            if (write(master, "\x1b[99;5u", 7) == 7) {
                readKey();
            }
        },
        testing::KilledBySignal(SIGINT), "");
}

// A paste far longer than a terminal's buffer, typed while the start-up waits for a big
// enough window; then the window grows, and one more key comes once the program goes on.
TEST(UnixConsole, KeepsAFewThousandOfTheKeysTypedAtTheSizeNotice) {
    EXPECT_EXIT(
        {
            int keys[2];
            if (pipe(keys) != 0 || write(keys[1], std::string(10000, 'a').data(), 10000) != 10000) {
                std::exit(255);
            }
            int master = -1;
            // The terminal is open before the console reads the first key.
            std::thread player([&] {
                for (int unread = 1; unread > 0; usleep(1000)) {
                    ioctl(keys[0], FIONREAD, &unread);
                }
                const winsize big{70, 197, 0, 0};
                ioctl(master, TIOCSWINSZ, &big);
            });
            startOnTerminal(master, {24, 80, 0, 0}, keys[0]);
            [[maybe_unused]] const ssize_t written = write(keys[1], "z", 1);
            int pasted = 0;
            while (readKey() == 'a') {
                ++pasted;
            }
            player.join();
            std::exit(pasted / 1000); // in thousands
        },
        testing::ExitedWithCode(4), "");
}

TEST(UnixConsole, EscapeOrTheEndOfTheInputOnTheStartUpNoticeEndsTheProgram) {
    for (const bool inputEnds : {false, true}) {
        EXPECT_EXIT(
            {
                int keys[2];
                if (pipe(keys) == 0 && write(keys[1], inputEnds ? "x" : "\x1b", 1) == 1 &&
                    (!inputEnds || close(keys[1]) == 0)) {
                    int master = -1;
                    startOnTerminal(master, {24, 80, 0, 0}, keys[0]);
                }
                std::exit(3); // the program went on
            },
            testing::ExitedWithCode(0), "")
            << inputEnds;
    }
}

TEST(UnixConsole, FollowsTheLocalesCharacterSetUtf8WhereItSaysNothing) {
    EXPECT_EQ(charsetNamed("ISO-8859-1"), Charset::Latin1);
    EXPECT_EQ(charsetNamed("iso8859-15"), Charset::Latin9);
    EXPECT_EQ(charsetNamed("ANSI_X3.4-1968"), Charset::Utf8);
    // A locale that is not installed: its name tells, the codeset before the modifier.
    EXPECT_EQ(charsetOfLocaleName("de_DE.ISO8859-1"), Charset::Latin1);
    EXPECT_EQ(charsetOfLocaleName("de_DE@euro"), Charset::Latin9);
    EXPECT_EQ(charsetOfLocaleName("de_DE.UTF-8@euro"), Charset::Utf8);
    EXPECT_EXIT(
        {
            setenv("LC_ALL", "", 1); // set but empty: as if it were not
            setenv("LC_CTYPE", "xx_XX.ISO-8859-15@euro", 1);
            setenv("LANG", "xx_XX.ISO-8859-1", 1);
            std::exit(localeCharset() == Charset::Latin9 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
