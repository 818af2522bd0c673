#include "console/platform.h"
#include "console/size_notice.h"
#include "console/unix_console.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

// Shared with the signal handlers, which may only touch these and call async-signal-safe
// functions. The terminal's modes are kept here alone: the console object uses them too.
volatile sig_atomic_t gResized = 0;
volatile sig_atomic_t gResumed = 0;
// Set once a suspension has handed the terminal back: the return takes it over again.
volatile sig_atomic_t gHandedBack = 0;
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

// False, with errno set, when the output fails for good.
bool writeRaw(int fd, const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EAGAIN) {
            // An output another program left non-blocking: wait until it takes more.
            pollfd writable{fd, POLLOUT, 0};
            poll(&writable, 1, -1);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

void emergencyRestore() {
    if (gOutputFd >= 0 && gRestoreLength > 0) {
        // Nothing more can be done here about an output that has gone.
        [[maybe_unused]] const bool written =
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
    gHandedBack = 1;
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

// The signals besides INT, TERM, HUP and QUIT that end a program unless it handles them.
constexpr int EndingSignals[] = {
    SIGUSR1,   SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGSYS,
    SIGABRT,   SIGBUS,  SIGFPE,  SIGILL,    SIGSEGV, SIGTRAP,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGEMT
    SIGEMT,
#endif
};

// Hands the terminal back before a signal ends the program, where it would: one ignored by
// whoever started the program, or handled already (by a sanitizer), is left as it is.
void restoreBeforeEnding(int signal) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
        current.sa_handler == SIG_DFL) {
        handle(signal, onTerminate, SA_RESETHAND | SA_NODEFER);
    }
}

long long nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// below: the first line under what shows; lines: the window's, where it is smaller.
// cursorColorReset: what puts the terminal's own cursor colour back, where the program set one.
void prepareRestoreBytes(int below, const std::string& cursorColorReset,
                         int lines = ConsoleHeight) {
    // The title is popped from the stack setup pushed it on. Terminals without a title stack
    // (urxvt, st, GNU screen) ignore that and keep the empty title set before it, which they
    // show as their own default or as none, rather than a game that has ended.
    const char* reset = "\x1b[0m\x1b[?25h\x1b]2;\x07\x1b[23;0t";
    int length = 0;
    if (below < lines) {
        length = std::snprintf(gRestoreBytes, sizeof gRestoreBytes, "%s%s\x1b[%dH", reset,
                               cursorColorReset.c_str(), below + 1);
    } else {
        length = std::snprintf(gRestoreBytes, sizeof gRestoreBytes, "%s%s\x1b[%dH\r\n", reset,
                               cursorColorReset.c_str(), lines);
    }
    gRestoreLength = length > 0 && length < static_cast<int>(sizeof gRestoreBytes) ? length : 0;
}

// What the program changes of the terminal beyond its screen, at start and again when it
// comes back from a suspension: the restore bytes gave all of it back.
std::string takeOverBytes(const TerminalProfile& profile) {
    // The window title saved on the terminal's stack, then ours.
    return "\x1b[22;0t\x1b]2;Kentermeer\x07" + profile.cursorColor;
}

// A program started with a standard stream closed would hand its number to the first file
// it opens (the wake-up pipe) and take that for the stream.
void openMissingStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            // The lowest free number: this one, as the ones below are open.
            open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        }
    }
}

// How a write to the output would fail now that poll says it has gone.
int lostOutputError(int fd) {
    struct stat status {};
    const bool pipeOrSocket =
        fstat(fd, &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode));
    return pipeOrSocket ? EPIPE : EIO;
}

} // namespace

// The program's own locale stays "C", so that its case conversion stays as it is.
Charset localeCharset() {
    const locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (user != static_cast<locale_t>(0)) {
        // Asked as the thread's locale rather than with nl_langinfo_l, which in a statically
        // linked game answers with the "C" locale's character set whatever the locale is.
        const locale_t previous = uselocale(user);
        const Charset charset = charsetNamed(nl_langinfo(CODESET));
        uselocale(previous);
        freelocale(user);
        return charset;
    }
    // A locale that is not installed still names the terminal's character set.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* name = std::getenv(variable);
        if (name != nullptr && *name != '\0') {
            return charsetOfLocaleName(name);
        }
    }
    return Charset::Utf8;
}

Charset charsetOfLocaleName(std::string_view name) {
    const std::size_t modifier = std::min(name.find('@'), name.size());
    const std::size_t dot = name.find('.');
    if (dot < modifier) {
        return charsetNamed(name.substr(dot + 1, modifier - dot - 1));
    }
    return name.substr(modifier) == "@euro" ? Charset::Latin9 : Charset::Utf8;
}

Charset charsetNamed(std::string_view codeset) {
    std::string name;
    for (const char ch : codeset) {
        if (ch != '-' && ch != '_') {
            name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
        }
    }
    if (name == "ISO88591") {
        return Charset::Latin1;
    }
    return name == "ISO885915" ? Charset::Latin9 : Charset::Utf8;
}

UnixConsole::UnixConsole(int inputFd, int outputFd, Charset charset, TerminalProfile profile)
    : input_(inputFd), output_(outputFd), inputIsTerminal_(isatty(inputFd) == 1),
      outputIsTerminal_(isatty(outputFd) == 1), charset_(charset), profile_(std::move(profile)),
      decoder_(charset, !inputIsTerminal_), encoder_(charset, profile_.mayErase) {}

UnixConsole::~UnixConsole() {
    if (gHaveModes) {
        // A virtual call in a destructor reaches this class's restore anyway; the qualified
        // name makes that plain.
        UnixConsole::restore();
    }
}

void UnixConsole::enterRawMode() {
    termios saved{};
    if (!inputIsTerminal_ || tcgetattr(input_, &saved) != 0) {
        return;
    }
    termios raw = saved;
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
    gSavedModes = saved;
    gRawModes = raw;
    gTerminalFd = input_;
    gHaveModes = 1;
    tcsetattr(input_, TCSAFLUSH, &raw);
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
    for (const int signal : EndingSignals) {
        restoreBeforeEnding(signal);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        restoreBeforeEnding(signal);
    }
    handle(SIGTSTP, onSuspend, 0);
    handle(SIGCONT, onContinue, SA_RESTART);
    handle(SIGWINCH, onResize, SA_RESTART);
    // A write to a closed pipe, or past the limit on a file's size, fails instead, and the
    // program ends after restoring what it can.
    handle(SIGPIPE, SIG_IGN, 0);
    handle(SIGXFSZ, SIG_IGN, 0);
}

void UnixConsole::setup() {
    installSignalHandlers();
    enterRawMode();
    prepareRestoreBytes(0, profile_.cursorColorReset);
    if (outputIsTerminal_) {
        writeAll(takeOverBytes(profile_) + (profile_.requestSize ? "\x1b[8;70;197t" : ""));
        waitAtStartUpForBigEnoughWindow();
    }
    forgetWhatTheTerminalShows();
}

void UnixConsole::waitAtStartUpForBigEnoughWindow() {
    startingUp_ = true;
    fitToWindow(false);
    while (noticeShown_) {
        // Some terminals apply the size request a moment later without a signal: look again
        // now and then.
        unsigned char byte = 0;
        const ByteRead read = readByte(250, byte);
        if (read == ByteRead::End) {
            ended_ = true;
            break;
        }
        if (read == ByteRead::Byte) {
            decoder_.feed(byte);
        } else if (decoder_.pending()) {
            decoder_.expire();
        }
        while (const std::optional<KeyEvent> key = decoder_.take()) {
            ended_ = ended_ || *key == keycode::Escape;
            signalForKey(*key);
            // As a terminal's own buffer would, this keeps a few thousand keys and drops the
            // rest of a long paste.
            if (heldBack_.size() < MaxHeldBackKeys) {
                heldBack_.push_back(*key);
            }
        }
        if (ended_) {
            break;
        }
        fitToWindow(false);
    }
    startingUp_ = false;
}

void UnixConsole::fitToWindow(bool afresh) {
    winsize size{};
    if (outputIsTerminal_ && ioctl(output_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 &&
        size.ws_row > 0 && (size.ws_col < ConsoleWidth || size.ws_row < ConsoleHeight)) {
        if (afresh || !noticeShown_ || noticeSize_ != ScreenPos{size.ws_col, size.ws_row}) {
            showSizeNotice(size.ws_col, size.ws_row);
        }
        return;
    }
    if (afresh || noticeShown_) {
        // Terminals rearrange or drop text when the window changes size, and a suspended
        // program's screen is the shell's: the next paint draws everything.
        noticeShown_ = false;
        forgetWhatTheTerminalShows();
        if (lastScreen_ != nullptr) {
            present(*lastScreen_);
        }
    }
}

void UnixConsole::showSizeNotice(int columns, int lines) {
    noticeShown_ = true;
    noticeSize_ = {columns, lines};
    std::string text = "\x1b[0m\x1b[H\x1b[2J\x1b[?25l";
    int line = SizeNoticeStart.y;
    for (const std::string& noticeLine : sizeNoticeLines(columns, lines, startingUp_)) {
        if (!noticeLine.empty()) {
            text += "\x1b[" + std::to_string(line + 1) + ";" +
                    std::to_string(SizeNoticeStart.x + 1) + "H";
        }
        ++line;
        for (const char ch : noticeLine) {
            charset::append(text, displayedCharacter(static_cast<unsigned char>(ch)), charset_);
        }
    }
    writeAll(text);
    prepareRestoreBytes(line, profile_.cursorColorReset, lines);
    forgetWhatTheTerminalShows();
}

void UnixConsole::forgetWhatTheTerminalShows() {
    front_.known = false;
    encoder_.forget();
}

void UnixConsole::writeAll(const std::string& bytes) {
    if (bytes.empty() || outputGone_) {
        return;
    }
    ++writeCount_;
    if (!writeRaw(output_, bytes.data(), bytes.size())) {
        endForLostOutput(errno);
    }
}

void UnixConsole::endForLostOutput(int error) {
    outputGone_ = true;
    gOutputFd = -1;
    UnixConsole::restore(); // also reached from the destructor's restore
    if (error == EPIPE) {
        // As any program whose pipe has closed: its shell sees the signal.
        signal(SIGPIPE, SIG_DFL);
        sigset_t brokenPipe;
        sigemptyset(&brokenPipe);
        sigaddset(&brokenPipe, SIGPIPE);
        sigprocmask(SIG_UNBLOCK, &brokenPipe, nullptr);
        raise(SIGPIPE);
    }
    std::exit(1);
}

void UnixConsole::present(Screen& screen) {
    lastScreen_ = &screen;
    if (noticeShown_) {
        return;
    }
    paintTerminal(screen, front_, encoder_);
    writeAll(encoder_.output());
    prepareRestoreBytes(lastDrawnLine(front_) + 1, profile_.cursorColorReset);
}

std::optional<KeyEvent> UnixConsole::readKeyEvent() {
    if (!heldBack_.empty()) {
        const KeyEvent key = heldBack_.front();
        heldBack_.pop_front();
        return key;
    }
    const std::optional<KeyEvent> key = nextKeyEvent(decoder_, *this);
    if (key) {
        signalForKey(*key);
    }
    return key;
}

void UnixConsole::signalForKey(const KeyEvent& key) {
    if (inputIsTerminal_ && key == keycode::CtrlC) {
        raise(SIGINT);
    }
    if (inputIsTerminal_ && key == KeyEvent{26, -1}) {
        raise(SIGTSTP);
    }
}

void UnixConsole::dropPendingKeys() {
    heldBack_.clear();
    decoder_.dropPending();
    if (inputIsTerminal_) {
        tcflush(input_, TCIFLUSH);
    }
}

void UnixConsole::handleWakeUps() {
    char drain[64];
    while (::read(gWakePipe[0], drain, sizeof drain) > 0) {
    }
    const bool changed = gResumed || gResized;
    if (gResumed && gHandedBack) {
        gHandedBack = 0;
        if (outputIsTerminal_) {
            writeAll(takeOverBytes(profile_));
        }
    }
    gResumed = 0;
    gResized = 0;
    if (changed) {
        fitToWindow(true);
    }
}

int UnixConsole::wait(int waitMs, bool forInput) {
    // The output is watched for no event of its own: poll reports a closed pipe or a hung-up
    // terminal anyway.
    pollfd fds[3] = {{gWakePipe[0], POLLIN, 0}, {output_, 0, 0}, {input_, POLLIN, 0}};
    const int ready = poll(fds, forInput ? 3 : 2, waitMs);
    if (ready < 0 && errno != EINTR) {
        return -1;
    }
    if (ready < 0) {
        // A signal is a wake-up too: without its pipe (no file descriptor left for one) the
        // program learns of a resize only so.
        handleWakeUps();
        return 0;
    }
    if (fds[1].revents & (POLLERR | POLLHUP)) {
        endForLostOutput(lostOutputError(output_));
    }
    if (fds[0].revents & POLLIN) {
        handleWakeUps();
    }
    return forInput && (fds[2].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) ? 1 : 0;
}

ByteRead UnixConsole::readByte(int waitMs, unsigned char& byte) {
    const long long deadline = waitMs < 0 ? -1 : nowMs() + waitMs;
    for (;;) {
        while (noticeShown_ && !startingUp_) {
            wait(250, false);
            fitToWindow(false);
        }
        const int remaining =
            deadline < 0 ? -1 : static_cast<int>(std::max(0LL, deadline - nowMs()));
        const int ready = wait(remaining, true);
        if (ready < 0) {
            return ByteRead::End;
        }
        if (noticeShown_ && !startingUp_) {
            continue; // the window shrank meanwhile
        }
        if (ready == 0) {
            if (deadline >= 0 && nowMs() >= deadline) {
                return ByteRead::Timeout;
            }
            continue;
        }
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

void UnixConsole::sleep(int milliseconds) {
    const long long deadline = nowMs() + milliseconds;
    for (long long left = milliseconds; left > 0; left = deadline - nowMs()) {
        wait(static_cast<int>(left), false);
    }
}

void UnixConsole::restore() {
    if (!outputGone_) {
        writeAll(std::string(gRestoreBytes, static_cast<std::size_t>(gRestoreLength)));
    }
    if (gHaveModes) {
        tcsetattr(gTerminalFd, TCSADRAIN, &gSavedModes);
        gHaveModes = 0;
    }
}

ConsoleBackend& platformConsole() {
    [[maybe_unused]] static const bool streamsOpen = (openMissingStandardStreams(), true);
    static UnixConsole console(STDIN_FILENO, STDOUT_FILENO, localeCharset(),
                               terminalProfile(currentTerminalEnvironment()));
    return console;
}
