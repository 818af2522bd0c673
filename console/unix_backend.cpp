#include "console/platform.h"
#include "console/size_notice.h"
#include "console/unix_console.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Shared with the signal handlers, which may only touch these and call async-signal-safe
// functions.
volatile sig_atomic_t gResized = 0;
volatile sig_atomic_t gResumed = 0;
int gWakePipe[2] = {-1, -1};
int gTerminalFd = -1;
int gOutputFd = -1;
termios gSavedModes{};
termios gRawModes{};
volatile sig_atomic_t gHaveModes = 0;
// What puts the terminal back: default colours, a visible cursor, the saved window title,
// and the cursor on the line below the last drawing, where the shell prompt will appear.
char gRestoreBytes[96];
volatile sig_atomic_t gRestoreLength = 0;

void writeRaw(int fd, const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return; // the terminal is gone; nothing more can be shown
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}

void emergencyRestore() {
    if (gOutputFd >= 0 && gRestoreLength > 0) {
        writeRaw(gOutputFd, gRestoreBytes, static_cast<std::size_t>(gRestoreLength));
    }
    if (gHaveModes) {
        tcsetattr(gTerminalFd, TCSANOW, &gSavedModes);
    }
}

void wake() {
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(gWakePipe[1], &byte, 1);
}

extern "C" void onTerminate(int signal) {
    const int savedErrno = errno;
    emergencyRestore();
    errno = savedErrno;
    // The handler was installed to reset itself: raising again ends the process as the
    // signal would have.
    raise(signal);
}

extern "C" void onSuspend(int) {
    const int savedErrno = errno;
    emergencyRestore();
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigaction(SIGTSTP, &defaults, nullptr);
    sigset_t suspend;
    sigemptyset(&suspend);
    sigaddset(&suspend, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
    raise(SIGTSTP); // stops here until the shell continues the program
    struct sigaction ours {};
    ours.sa_handler = onSuspend;
    sigaction(SIGTSTP, &ours, nullptr);
    errno = savedErrno;
}

extern "C" void onContinue(int) {
    const int savedErrno = errno;
    if (gHaveModes) {
        tcsetattr(gTerminalFd, TCSANOW, &gRawModes);
    }
    gResumed = 1;
    wake();
    errno = savedErrno;
}

extern "C" void onResize(int) {
    const int savedErrno = errno;
    gResized = 1;
    wake();
    errno = savedErrno;
}

void handle(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

long long nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void prepareRestoreBytes(const PaintedScreen& front) {
    const int below = lastDrawnLine(front) + 1;
    // The title is popped from the stack setup pushed it on; terminals without one ignore it.
    const char* reset = "\x1b[0m\x1b[?25h\x1b[23;0t";
    int length = 0;
    if (below < ConsoleHeight) {
        length = std::snprintf(gRestoreBytes, sizeof gRestoreBytes, "%s\x1b[%dH", reset, below + 1);
    } else {
        length = std::snprintf(gRestoreBytes, sizeof gRestoreBytes, "%s\x1b[%dH\r\n", reset,
                               ConsoleHeight);
    }
    gRestoreLength = length > 0 ? length : 0;
}

// The notice for a window that is too small, as terminal bytes.
std::string sizeNotice(int columns, int lines) {
    std::string text = "\x1b[0m\x1b[H\x1b[2J\x1b[?25l";
    int line = SizeNoticeStart.y + 1;
    for (const std::string& noticeLine : sizeNoticeLines(columns, lines)) {
        if (!noticeLine.empty()) {
            text +=
                "\x1b[" + std::to_string(line) + ";" + std::to_string(SizeNoticeStart.x + 1) + "H";
        }
        ++line;
        for (const char ch : noticeLine) {
            char utf8[4];
            text.append(utf8, static_cast<std::size_t>(cp1252::encodeUtf8(
                                  displayedCharacter(static_cast<unsigned char>(ch)), utf8)));
        }
    }
    return text;
}

} // namespace

UnixConsole::UnixConsole(int inputFd, int outputFd)
    : input_(inputFd), output_(outputFd), inputIsTerminal_(isatty(inputFd) == 1),
      outputIsTerminal_(isatty(outputFd) == 1) {}

UnixConsole::~UnixConsole() {
    if (rawMode_) {
        UnixConsole::restore(); // during destruction only our own can run; say so
    }
}

void UnixConsole::enterRawMode() {
    if (!inputIsTerminal_ || tcgetattr(input_, &savedModes_) != 0) {
        return;
    }
    termios raw = savedModes_;
    raw.c_iflag &= ~(ICRNL);  // Enter arrives as CR, as the console reports it
    raw.c_iflag &= ~(IXON);   // Ctrl+S and Ctrl+Q do not stop the output
    raw.c_iflag &= ~(ISTRIP); // keep the eighth bit of UTF-8 bytes
    raw.c_iflag &= ~(INPCK | BRKINT);
    raw.c_lflag &= ~(ICANON); // bytes as they are typed, not lines
    raw.c_lflag &= ~(ECHO);   // the program echoes what it wants shown itself
    raw.c_lflag &= ~(IEXTEN); // Ctrl+V is a key, not a literal-next prefix
    // ISIG stays on: Ctrl+C ends and Ctrl+Z suspends, with the terminal restored first.
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    gSavedModes = savedModes_;
    gRawModes = raw;
    gTerminalFd = input_;
    gHaveModes = 1;
    tcsetattr(input_, TCSAFLUSH, &raw);
    rawMode_ = true;
}

void UnixConsole::installSignalHandlers() {
    if (gWakePipe[0] < 0 && pipe(gWakePipe) == 0) {
        for (const int fd : gWakePipe) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    gOutputFd = output_;
    handle(SIGINT, onTerminate, SA_RESETHAND | SA_NODEFER);
    handle(SIGTERM, onTerminate, SA_RESETHAND | SA_NODEFER);
    handle(SIGHUP, onTerminate, SA_RESETHAND | SA_NODEFER);
    handle(SIGQUIT, onTerminate, SA_RESETHAND | SA_NODEFER);
    handle(SIGTSTP, onSuspend, 0);
    handle(SIGCONT, onContinue, SA_RESTART);
    handle(SIGWINCH, onResize, SA_RESTART);
    // A closed terminal or pipe makes writes fail; that is no reason to die mid-screen.
    handle(SIGPIPE, SIG_IGN, 0);
}

void UnixConsole::setup() {
    installSignalHandlers();
    enterRawMode();
    prepareRestoreBytes(front_);
    if (outputIsTerminal_) {
        // Save the window title on the terminal's stack, set ours, ask for 197 x 70.
        writeAll("\x1b[22;0t\x1b]2;Kentermeer\x07\x1b[8;70;197t");
        waitForBigEnoughWindow();
    }
    front_.known = false;
    encoder_.forget();
}

void UnixConsole::showSizeNotice(int columns, int lines) {
    writeAll(sizeNotice(columns, lines));
}

void UnixConsole::waitForBigEnoughWindow() {
    int shownColumns = -1;
    int shownLines = -1;
    for (;;) {
        winsize size{};
        if (ioctl(output_, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
            return; // the size cannot be known; draw and hope
        }
        if (size.ws_col >= ConsoleWidth && size.ws_row >= ConsoleHeight) {
            return;
        }
        if (size.ws_col != shownColumns || size.ws_row != shownLines) {
            shownColumns = size.ws_col;
            shownLines = size.ws_row;
            showSizeNotice(shownColumns, shownLines);
        }
        // Some terminals apply the size request a moment later without telling: look again
        // now and then, and at once on a resize.
        unsigned char byte = 0;
        const ByteRead read = readByte(250, byte);
        if (read == ByteRead::End) {
            endProgram();
        }
        if (read == ByteRead::Byte) {
            decoder_.feed(byte);
        } else if (decoder_.pending()) {
            decoder_.expire();
        }
        while (const std::optional<KeyEvent> key = decoder_.take()) {
            if (*key == KeyEvent{27, -1}) {
                restore();
                std::exit(0);
            }
        }
    }
}

void UnixConsole::writeAll(const std::string& bytes) {
    if (bytes.empty()) {
        return;
    }
    ++writeCount_;
    writeRaw(output_, bytes.data(), bytes.size());
}

void UnixConsole::present(Screen& screen) {
    lastScreen_ = &screen;
    encoder_.output().clear();
    paintChanges(screen, front_, encoder_);
    writeAll(encoder_.output());
    prepareRestoreBytes(front_);
}

std::optional<KeyEvent> UnixConsole::readKeyEvent() {
    return nextKeyEvent(decoder_, *this);
}

void UnixConsole::handleWakeUps() {
    char drain[64];
    while (::read(gWakePipe[0], drain, sizeof drain) > 0) {
    }
    bool repaint = false;
    if (gResumed) {
        gResumed = 0;
        repaint = true;
    }
    if (gResized) {
        gResized = 0;
        // Terminals rearrange or drop text when the window changes size.
        repaint = true;
    }
    if (repaint && lastScreen_ != nullptr) {
        front_.known = false;
        encoder_.forget();
        present(*lastScreen_);
    }
}

ByteRead UnixConsole::readByte(int waitMs, unsigned char& byte) {
    const long long deadline = waitMs < 0 ? -1 : nowMs() + waitMs;
    for (;;) {
        pollfd fds[2] = {{input_, POLLIN, 0}, {gWakePipe[0], POLLIN, 0}};
        const int remaining =
            deadline < 0 ? -1 : static_cast<int>(std::max(0LL, deadline - nowMs()));
        const int ready = poll(fds, gWakePipe[0] >= 0 ? 2 : 1, remaining);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return ByteRead::End;
        }
        if (ready == 0) {
            return ByteRead::Timeout;
        }
        if (fds[1].revents & POLLIN) {
            handleWakeUps();
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
            const ssize_t got = ::read(input_, &byte, 1);
            if (got == 1) {
                return ByteRead::Byte;
            }
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            return ByteRead::End; // end of input, or the terminal has gone
        }
    }
}

void UnixConsole::sleep(int milliseconds) {
    const long long deadline = nowMs() + milliseconds;
    for (long long left = milliseconds; left > 0; left = deadline - nowMs()) {
        pollfd wakeUp{gWakePipe[0], POLLIN, 0};
        if (poll(&wakeUp, gWakePipe[0] >= 0 ? 1 : 0, static_cast<int>(left)) > 0) {
            handleWakeUps();
        }
    }
}

void UnixConsole::restore() {
    writeRaw(output_, gRestoreBytes, static_cast<std::size_t>(gRestoreLength));
    if (rawMode_) {
        tcsetattr(input_, TCSADRAIN, &savedModes_);
        rawMode_ = false;
        gHaveModes = 0;
    }
}

ConsoleBackend& platformConsole() {
    static UnixConsole console(STDIN_FILENO, STDOUT_FILENO);
    return console;
}
