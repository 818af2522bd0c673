#include "console/console.h"
#include "console/unix_console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The Unix backend on two pipes: what the program writes, and what it reads.
struct PipedConsole {
    int toProgram[2];
    int fromProgram[2];
    std::unique_ptr<UnixConsole> console;

    PipedConsole() {
        EXPECT_EQ(pipe(toProgram), 0);
        EXPECT_EQ(pipe(fromProgram), 0);
        fcntl(fromProgram[0], F_SETFL, O_NONBLOCK);
        console = std::make_unique<UnixConsole>(toProgram[0], fromProgram[1]);
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

TEST(UnixConsole, EndOfInputEndsTheProgramWithExitCodeZero) {
    EXPECT_EXIT(
        {
            PipedConsole piped;
            close(piped.toProgram[1]);
            readKey();
        },
        testing::ExitedWithCode(0), "");
}
