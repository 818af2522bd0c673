#include "console/console.h"
#include "console/unix_console.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace {

// A pseudo-terminal: the program's side is a terminal, the test types on the other.
struct Pty {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    int terminal = grantpt(master) == 0 && unlockpt(master) == 0
                       ? open(ptsname(master), O_RDWR | O_NOCTTY)
                       : -1;
    // Types bytes and waits until the terminal has them.
    void type(std::string_view bytes) {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        pollfd typed{terminal, POLLIN, 0};
        ASSERT_EQ(poll(&typed, 1, 5000), 1);
    }
};

// The Unix backend on two pipes: what the program writes, and what it reads.
struct PipedConsole {
    int toProgram[2];
    int fromProgram[2];
    std::unique_ptr<UnixConsole> console;

    // Input or output may be a terminal instead of a pipe.
    explicit PipedConsole(int input = -1, int output = -1) {
        EXPECT_EQ(pipe(toProgram), 0);
        EXPECT_EQ(pipe(fromProgram), 0);
        fcntl(fromProgram[0], F_SETFL, O_NONBLOCK);
        console = std::make_unique<UnixConsole>(input < 0 ? toProgram[0] : input,
                                                output < 0 ? fromProgram[1] : output);
        installConsoleBackend(console.get());
    }
    ~PipedConsole() {
        installConsoleBackend(nullptr);
        console.reset();
        for (const int fd : {toProgram[0], toProgram[1], fromProgram[0], fromProgram[1]}) {
            close(fd);
        }
    }
    std::string written() {
        std::string bytes;
        char buffer[4096];
        for (ssize_t n; (n = read(fromProgram[0], buffer, sizeof buffer)) > 0;) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }
    void send(std::string_view bytes) {
        ASSERT_EQ(write(toProgram[1], bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
};

} // namespace

TEST(UnixConsole, PaintsOnceAtEachBlockingPointAndNotPerItem) {
    PipedConsole piped;
    clearScreen();
    setColor(DarkGreen);
    for (int line = 40; line <= 45; ++line) {
        writeAt({80, line}, "[ ] Eintrag");
    }
    EXPECT_EQ(piped.written(), "") << "nothing goes out before the program blocks";
    EXPECT_EQ(piped.console->writeCount(), 0);

    pause(0);
    EXPECT_EQ(piped.console->writeCount(), 1);
    EXPECT_NE(piped.written().find("[ ] Eintrag"), std::string::npos);

    pause(0);
    EXPECT_EQ(piped.console->writeCount(), 1) << "an unchanged screen is not sent again";
}

TEST(UnixConsole, ReadsKeysAndLinesFromItsInput) {
    PipedConsole piped;
    piped.send("\x1b[Bb3 c4\n");
    EXPECT_EQ(readKey(), KeyDown);
    EXPECT_EQ(readWord(), "b3");
    EXPECT_EQ(readWord(), "c4");
    piped.send("\x1b");
    EXPECT_EQ(readKey(), KeyEscape) << "a lone Escape is a key once the terminal stays quiet";
}

TEST(UnixConsole, EndsAsAUnixProgramWhenItsInputEndsOrItsOutputHasGone) {
    // In processes of their own, as the set-up installs signal handlers.
    EXPECT_EXIT(
        {
            PipedConsole piped;
            close(piped.toProgram[1]);
            readKey();
        },
        testing::ExitedWithCode(0), "");
    // The pipe's reader has gone: the program ends by SIGPIPE, as any program would.
    EXPECT_EXIT(
        {
            PipedConsole piped;
            setupConsole();
            close(piped.fromProgram[0]);
            close(piped.toProgram[1]);
            readKey();
        },
        testing::KilledBySignal(SIGPIPE), "");
    // The terminal has hung up: status 1. Before, what was typed ahead goes when dropped.
    EXPECT_EXIT(
        {
            Pty pty;
            PipedConsole piped(pty.terminal, pty.terminal);
            setupConsole();
            pty.type("q");
            dropTypedAhead();
            pty.type("A");
            if (readKey() == 'A') {
                close(pty.master);
                readKey();
            }
        },
        testing::ExitedWithCode(1), "");
}

TEST(UnixConsole, FollowsTheLocalesCharacterSetUtf8WhereItSaysNothing) {
    EXPECT_EQ(charsetNamed("ISO-8859-1"), Charset::Latin1);
    EXPECT_EQ(charsetNamed("iso8859-15"), Charset::Latin9);
    EXPECT_EQ(charsetNamed("ANSI_X3.4-1968"), Charset::Utf8);
}
