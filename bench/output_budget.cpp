// The output budget: for every screen the program draws, the bytes and write calls that reach
// the terminal and the CPU time of the paint, next to what the same paint would cost if every
// item went out on its own, after an absolute cursor move and a flush.
//
// The screens are the program's own functions, driven through a scripted session on the real
// Unix console backend, whose output goes to a temporary file. Every blocking point (a key
// read, a pause) is one row of raw data; the table sums them up per screen.
//
// Built for Windows, the same session runs on the real Windows console backend, painting on a
// console screen buffer of its own, and the table shows the console calls of each paint and
// the cells they wrote.
//
//   kentermeer_output_budget          prints the table (Markdown)
//   kentermeer_output_budget --check  also fails when a budget is exceeded
//   kentermeer_output_budget --prove  only replays the session, each paint fed into
//                                     libvterm, which must then show the screen model

#include "app/info_screens.h"
#include "app/main_menu.h"
#include "console/console.h"
#include "console/vt_output.h"
#include "game/battle.h"
#include "game/game_over.h"
#include "game/game_state.h"
#include "game/placement.h"
#include "options/game_options.h"
#include "options/options_menu.h"
#include "tests/support/scripted_input.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifdef _WIN32
#include "console/windows_console.h"
using PlatformConsole = WindowsConsole;
#else
#include "console/unix_console.h"

#include <unistd.h>
using PlatformConsole = UnixConsole;
#endif
#ifdef KENTERMEER_TERMINAL_PROOF
#include "terminal_proof.h"
#endif

namespace {

// What the same changes would cost if every item were painted on its own: an absolute cursor
// move, the colour where it changes, the text, and a flush, that is one write, per item. An
// item is a run of the painter's in one colour, so the comparison shows what one write per
// blocking point and the relative moves save, not what finding the changes saves.
class ItemByItemSink : public PaintSink {
  public:
    void clear(std::uint8_t color) override {
        useColor(color);
        bytes += std::strlen("\x1b[H\x1b[2J");
        ++writes;
    }
    void cells(ScreenPos start, const Cell* cells, int count) override {
        for (int i = 0; i < count;) {
            int end = i + 1;
            while (end < count && cells[end].color == cells[i].color) {
                ++end;
            }
            bytes +=
                std::to_string(start.y + 1).size() + std::to_string(start.x + i + 1).size() + 4;
            useColor(cells[i].color);
            for (int k = i; k < end; ++k) {
                char utf8[4];
                bytes += static_cast<std::size_t>(
                    cp1252::encodeUtf8(displayedCharacter(cells[k].ch), utf8));
            }
            ++writes;
            i = end;
        }
    }
    void cursor(ScreenPos, bool visible) override {
        if (visible != visible_) {
            bytes += std::strlen("\x1b[?25h");
            visible_ = visible;
        }
    }

    std::size_t bytes = 0;
    int writes = 0;

  private:
    void useColor(std::uint8_t color) {
        if (color != color_) {
            bytes += sgrFor(color).size();
            color_ = color;
        }
    }
    int color_ = -1;
    bool visible_ = true;
};

struct PaintRecord {
    std::string screen;
    // Counts the calls of measure(): tells two games apart.
    int phase = 0;
    bool fromCleared = false;
    std::size_t bytes = 0;
    int writes = 0;
    double microseconds = 0;
    std::size_t itemBytes = 0;
    int itemWrites = 0;
    // Lines whose cells the paint changes (all of them after a clear).
    int changedLines = 0;
    // What the program did right after the paint: waited for a key, or paused this long.
    int pauseMs = -1;
    // Line 0 as the paint leaves it: tells the two boards of a battle apart.
    std::string heading;
    // Real clears of the terminal in the paint, and whether it is framed as one
    // synchronized update (or sends nothing).
    int clears = 0;
    bool framed = true;
};

std::string lineText(const Screen& screen, int y) {
    std::string text;
    for (int x = 0; x < ConsoleWidth; ++x) {
        text.push_back(static_cast<char>(screen.at(x, y).ch));
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The real console backend, writing into a temporary file (Unix) or a console screen buffer
// of its own (Windows), with keys from a script, pauses that take no time, and a record of
// every paint. On Windows, bytes stand for the cells written and writes for the console calls.
class MeasuringConsole : public PlatformConsole {
  public:
#ifdef _WIN32
    MeasuringConsole() : WindowsConsole(false) {
        installConsoleBackend(this);
    }
#else
    MeasuringConsole(int inputFd, int outputFd) : UnixConsole(inputFd, outputFd), out_(outputFd) {
        installConsoleBackend(this);
    }
#endif
    ~MeasuringConsole() override {
        installConsoleBackend(nullptr);
    }

    void type(std::string_view bytes) {
        input_.type(bytes);
    }
    void pressEscape() {
        input_.pressEscape();
    }
    void scriptRandom(const std::vector<int>& numbers) {
        random_.script(numbers);
    }
    // Proves every paint on libvterm instead of timing it.
    void proveOnly() {
        proveOnly_ = true;
    }
    // The screen the following paints belong to.
    void measure(std::string screen) {
        screen_ = std::move(screen);
        ++phase_;
    }

    void present(Screen& screen) override {
        PaintRecord record;
        record.screen = screen_;
        record.phase = phase_;
        record.fromCleared = screen.clearPending || !shadowFront_.known;
        record.changedLines = changedLines(screen);
        record.microseconds = proveOnly_ ? 0 : paintTime(screen);
        Screen model = screen;
        itemSink_.bytes = 0;
        itemSink_.writes = 0;
        paintChanges(model, itemFront_, itemSink_);
        record.itemBytes = itemSink_.bytes;
        record.itemWrites = itemSink_.writes;
        record.heading = lineText(screen, 0);

        model = screen;
        paintTerminal(model, shadowFront_, shadowEncoder_);
        const std::string& bytes = shadowEncoder_.output();
        for (std::size_t at = bytes.find("\x1b[2J"); at != std::string::npos;
             at = bytes.find("\x1b[2J", at + 1)) {
            ++record.clears;
        }
        record.framed =
            bytes.empty() || (bytes.starts_with("\x1b[?2026h") && bytes.ends_with("\x1b[?2026l"));
#ifdef KENTERMEER_TERMINAL_PROOF
        if (proveOnly_) {
            terminal_.feed(bytes);
            const std::string difference = terminal_.differenceFrom(model);
            if (!difference.empty() || !terminal_.unknown().empty()) {
                std::fprintf(stderr,
                             "paint %zu in \"%s\": the terminal differs from the model: %s\n",
                             records.size(), screen_.c_str(), difference.c_str());
                std::exit(1);
            }
        }
#endif

#ifdef _WIN32
        const long cellsBefore = sink() ? sink()->cellsWritten() : 0;
        const long callsBefore = sink() ? sink()->calls() : 0;
        WindowsConsole::present(screen);
        record.bytes = static_cast<std::size_t>(sink()->cellsWritten() - cellsBefore);
        record.writes = static_cast<int>(sink()->calls() - callsBefore);
#else
        const off_t before = lseek(out_, 0, SEEK_CUR);
        const int writesBefore = writeCount();
        UnixConsole::present(screen);
        record.bytes = static_cast<std::size_t>(lseek(out_, 0, SEEK_CUR) - before);
        record.writes = writeCount() - writesBefore;
        if (record.bytes != shadowEncoder_.output().size()) {
            std::fprintf(stderr, "the console sent other bytes than the painter made\n");
            std::exit(2);
        }
#endif
        records.push_back(record);
    }

    std::optional<KeyEvent> readKeyEvent() override {
        const std::optional<KeyEvent> key = input_.nextKey();
        if (!key) {
            std::fprintf(stderr, "the script ran out of keys in \"%s\"\n", screen_.c_str());
            std::exit(2);
        }
        return key;
    }

    void sleep(int milliseconds) override {
        if (!records.empty() && records.back().pauseMs < 0) {
            records.back().pauseMs = milliseconds;
        }
    }

    int random() override {
        return random_.next();
    }

    void restore() override {}

    std::vector<PaintRecord> records;

  private:
    // Lines with a cell that looks different from what the console shows (all of them where
    // that is not known).
    int changedLines(const Screen& screen) const {
        if (!itemFront_.known) {
            return ConsoleHeight;
        }
        int lines = 0;
        for (int y = 0; y < ConsoleHeight; ++y) {
            const auto line = static_cast<std::ptrdiff_t>(y * ConsoleWidth);
            lines +=
                !std::equal(screen.cells.begin() + line, screen.cells.begin() + line + ConsoleWidth,
                            itemFront_.cells.begin() + line, looksSame);
        }
        return lines;
    }

    // The median time of the painter and the VT encoder for this paint, from copies of the
    // model and of what the terminal shows, so that the real paint is left untouched.
    double paintTime(const Screen& screen) {
        constexpr int Repetitions = 101;
        std::vector<double> times;
        times.reserve(Repetitions);
        for (int i = 0; i < Repetitions; ++i) {
            Screen model = screen;
            PaintedScreen front = shadowFront_;
            VtEncoder encoder = shadowEncoder_;
            const auto start = std::chrono::steady_clock::now();
            paintTerminal(model, front, encoder);
            const auto end = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
        std::nth_element(times.begin(), times.begin() + Repetitions / 2, times.end());
        return times[Repetitions / 2];
    }

#ifndef _WIN32
    int out_;
#endif
#ifdef KENTERMEER_TERMINAL_PROOF
    TerminalProof terminal_;
#endif
    bool proveOnly_ = false;
    std::string screen_;
    int phase_ = 0;
    ScriptedBytes input_;
    ScriptedRandom random_{4711};
    PaintedScreen shadowFront_;
    VtEncoder shadowEncoder_;
    PaintedScreen itemFront_;
    ItemByItemSink itemSink_;
};

} // namespace

namespace {

using keys::Down;
using keys::Enter;
using keys::Up;

// A session as a player would have it: through the menus, then games on the 17 x 8 board.
void runSession(MeasuringConsole& console) {
    gameOptions = GameOptions{};
    menuDrawCount = 0;

    console.measure("main menu, first");
    for (const std::string_view key : {Down, Down, Up, Enter}) {
        console.type(key);
    }
    showMainMenu(VsComputer); // Optionen

    console.measure("options menu");
    for (const std::string_view key : {Down, Down, Down, Up}) {
        console.type(key);
    }
    console.pressEscape();
    runOptionsMenu();

    console.measure("main menu");
    console.type(Down);
    console.type(Enter);
    showMainMenu(Options); // Info
    console.measure("info");
    console.type("x");
    showInfo();

    console.measure("main menu");
    console.type(Down);
    console.type(Enter);
    showMainMenu(Info); // Changelog
    console.measure("changelog");
    console.type("x");
    showChangelog();

    // A short won game on the 17 x 8 board: a refused word in placement, the computer's
    // ships on Q8, P7, O6 and N5; the player hits Q8, misses A1, the computer misses A8, and
    // the player hits the other three.
    gameOptions = GameOptions{};
    resetGame();
    console.measure("placement");
    console.type("z9\ra1\rb2\rc3\rd4\r");
    console.scriptRandom({16, 7, 15, 6, 14, 5, 13, 4});
    placeShips();
    console.measure("battle");
    console.type("q8\ra1\rp7\ro6\rn5\r");
    console.scriptRandom({0, 7});
    BattleResult result = runBattle();
    console.measure("won");
    console.type("x");
    showGameOver(result);

    // A long lost game: the player misses 129 times, the computer misses 128 times and then
    // hits the four ships in one turn, so the last turn screens carry nearly every marker a
    // board can hold. Then the reveal and the loss screen.
    resetGame();
    console.measure("placement");
    console.type("a1\rb1\rc1\rd1\r");
    console.scriptRandom({16, 7, 15, 7, 14, 7, 13, 7});
    placeShips();
    console.measure("battle");
    std::vector<std::string> playerTargets;
    std::vector<std::pair<int, int>> computerTargets;
    for (int row = 0; row < MaxRows; ++row) {
        for (int column = 0; column < MaxColumns; ++column) {
            if (row != 7 || column < 13) {
                playerTargets.push_back(
                    {static_cast<char>('a' + column), static_cast<char>('1' + row)});
            }
            if (row != 0 || column > 3) {
                computerTargets.emplace_back(column, row);
            }
        }
    }
    for (int turn = 0; turn < 129; ++turn) {
        console.type(playerTargets[static_cast<std::size_t>(turn)] + "\r");
    }
    for (int shot = 0; shot < 128; ++shot) {
        const auto [column, row] = computerTargets[static_cast<std::size_t>(shot)];
        console.scriptRandom({column, row});
    }
    console.scriptRandom({0, 0, 1, 0, 2, 0, 3, 0});
    result = runBattle();
    console.measure("lost");
    console.type("x");
    showGameOver(result);
}

struct Row {
    const char* name;
    std::function<bool(const PaintRecord&)> matches;
    // The first paint of its kind stands for the row; otherwise the costliest.
    bool first = false;
};

bool in(const PaintRecord& record, std::string_view screen) {
    return record.screen.starts_with(screen);
}

bool onEnemyBoard(const PaintRecord& record) {
    return record.heading.find("GEGNERISCHES FELD") != std::string::npos;
}

bool onOwnBoard(const PaintRecord& record) {
    return record.heading.find("DEIN FELD") != std::string::npos;
}

const std::vector<Row>& tableRows() {
    static const std::vector<Row> rows = {
        {"Main menu, first drawing (drawn twice)",
         [](const PaintRecord& r) { return in(r, "main menu, first") && r.fromCleared; }},
        {"Main menu, later drawing",
         [](const PaintRecord& r) { return r.screen == "main menu" && r.fromCleared; }},
        {"Main menu, selection mark move",
         [](const PaintRecord& r) { return in(r, "main menu") && !r.fromCleared; }},
        {"Info", [](const PaintRecord& r) { return in(r, "info") && r.fromCleared; }},
        {"Changelog", [](const PaintRecord& r) { return in(r, "changelog") && r.fromCleared; }},
        {"Options menu", [](const PaintRecord& r) { return in(r, "options") && r.fromCleared; }},
        {"Options menu, selection mark move",
         [](const PaintRecord& r) { return in(r, "options") && !r.fromCleared; }},
        {"Placement screen, 17 × 8",
         [](const PaintRecord& r) { return in(r, "placement") && r.fromCleared; }},
        {"Placement, later paints (echo, message, ship)",
         [](const PaintRecord& r) { return in(r, "placement") && !r.fromCleared; }},
        {"Player's turn, 17 × 8, first of a game",
         [](const PaintRecord& r) { return in(r, "battle") && r.fromCleared && onEnemyBoard(r); },
         true},
        {"Player's turn, 17 × 8, fullest board",
         [](const PaintRecord& r) { return in(r, "battle") && r.fromCleared && onEnemyBoard(r); }},
        {"Player's shot: banner and marker",
         [](const PaintRecord& r) {
             return in(r, "battle") && !r.fromCleared && onEnemyBoard(r) && r.pauseMs == 3000;
         }},
        {"Player's prompt, typed keys, messages",
         [](const PaintRecord& r) {
             return in(r, "battle") && !r.fromCleared && onEnemyBoard(r) && r.pauseMs < 0;
         }},
        {"Computer's turn, 17 × 8, first of a game",
         [](const PaintRecord& r) { return in(r, "battle") && r.fromCleared && onOwnBoard(r); },
         true},
        {"Computer's turn, 17 × 8, fullest board",
         [](const PaintRecord& r) { return in(r, "battle") && r.fromCleared && onOwnBoard(r); }},
        {"Computer's waiting line",
         [](const PaintRecord& r) {
             return in(r, "battle") && !r.fromCleared && onOwnBoard(r) && r.pauseMs == 500;
         }},
        {"Computer's shot: message and marker",
         [](const PaintRecord& r) {
             return in(r, "battle") && !r.fromCleared && onOwnBoard(r) && r.pauseMs == 3000;
         }},
        {"Win screen", [](const PaintRecord& r) { return in(r, "won") && r.fromCleared; }},
        {"Reveal after a loss, drawing",
         [](const PaintRecord& r) { return in(r, "lost") && r.fromCleared && onEnemyBoard(r); }},
        {"Reveal, one blink step",
         [](const PaintRecord& r) { return in(r, "lost") && !r.fromCleared && onEnemyBoard(r); }},
        {"Loss screen",
         [](const PaintRecord& r) { return in(r, "lost") && r.fromCleared && !onEnemyBoard(r); }},
    };
    return rows;
}

// The budgets the program is held to.
// The 16 bytes that frame a paint as one synchronized update come on top.
constexpr std::size_t MarkMoveBudget = 32 + 16;
constexpr double PaintTimeBudgetUs = 1000;
constexpr std::size_t SessionBudget = 300'000;
// Painted over the turn screen before, a turn screen sends what changed since; the first of
// a game what differs from the placement screen.
constexpr std::size_t TurnScreenBudget = 2000;
constexpr std::size_t LaterTurnScreenMeanBudget = 1500;

// The turn screens of a battle after the first of each board in each game.
std::vector<const PaintRecord*> laterTurnScreens(const std::vector<PaintRecord>& records) {
    std::vector<const PaintRecord*> later;
    std::vector<std::pair<int, bool>> turnsSeen;
    for (const PaintRecord& record : records) {
        if (!in(record, "battle") || !record.fromCleared) {
            continue;
        }
        const std::pair<int, bool> turn{record.phase, onEnemyBoard(record)};
        if (std::find(turnsSeen.begin(), turnsSeen.end(), turn) == turnsSeen.end()) {
            turnsSeen.push_back(turn);
        } else {
            later.push_back(&record);
        }
    }
    return later;
}

struct LaterTurns {
    std::size_t mean = 0;
    std::size_t most = 0;
};

// What the whole session sent: bytes on a terminal, cells on the Windows console.
std::size_t sessionTotal(const std::vector<PaintRecord>& records) {
    std::size_t total = 0;
    for (const PaintRecord& record : records) {
        total += record.bytes;
    }
    return total;
}

LaterTurns laterTurnCost(const std::vector<PaintRecord>& records) {
    const std::vector<const PaintRecord*> later = laterTurnScreens(records);
    LaterTurns cost;
    for (const PaintRecord* record : later) {
        cost.mean += record->bytes;
        cost.most = std::max(cost.most, record->bytes);
    }
    cost.mean = later.empty() ? 0 : cost.mean / later.size();
    return cost;
}

} // namespace

namespace {

#ifdef _WIN32
// A console at most one line more than a paint changes needs: the cursor, and the cursor's
// visibility, and after a clear, blanking a buffer larger than the screen.
constexpr int CallsBeyondChangedLines = 4;
constexpr std::size_t SessionCellBudget = 600'000;

// A screen buffer of 197 x 70 as standard output, made on the program's console (one is made
// where there is none); printf keeps writing where it did.
bool paintOnScreenBufferOfItsOwn() {
    HANDLE buffer = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 2 && buffer == INVALID_HANDLE_VALUE; ++attempt) {
        if (attempt == 1) {
            AllocConsole();
        }
        buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
    }
    if (buffer == INVALID_HANDLE_VALUE) {
        return false;
    }
    SetConsoleScreenBufferSize(buffer, COORD{ConsoleWidth, ConsoleHeight});
    SetStdHandle(STD_OUTPUT_HANDLE, buffer);
    return true;
}

std::vector<PaintRecord> measureSession(bool) {
    if (!paintOnScreenBufferOfItsOwn()) {
        std::fprintf(stderr, "no console to paint on\n");
        std::exit(2);
    }
    MeasuringConsole console;
    runSession(console);
    return console.records;
}

void printTable(const std::vector<PaintRecord>& records) {
    std::printf(
        "| Screen | Paints | Console calls | Cells | Changed lines |\n|---|--:|--:|--:|--:|\n");
    for (const Row& row : tableRows()) {
        std::vector<const PaintRecord*> matching;
        for (const PaintRecord& record : records) {
            if (row.matches(record)) {
                matching.push_back(&record);
            }
        }
        if (matching.empty()) {
            std::printf("| %s | 0 | | | |\n", row.name);
            continue;
        }
        const PaintRecord& worst =
            row.first ? *matching.front()
                      : **std::max_element(matching.begin(), matching.end(),
                                           [](const PaintRecord* a, const PaintRecord* b) {
                                               return a->bytes < b->bytes;
                                           });
        std::printf("| %s | %zu | %d | %zu | %d |\n", row.name, matching.size(), worst.writes,
                    worst.bytes, worst.changedLines);
    }
    std::size_t cells = 0;
    int calls = 0;
    for (const PaintRecord& record : records) {
        cells += record.bytes;
        calls += record.writes;
    }
    std::printf("| Whole session (%zu blocking points) | | %d | %zu | |\n", records.size(), calls,
                cells);
    const LaterTurns later = laterTurnCost(records);
    std::printf("\nLater turn screens: %zu cells on average, %zu at most.\n", later.mean,
                later.most);
}

int overBudget(const std::vector<PaintRecord>& records) {
    int failures = 0;
    for (const PaintRecord& record : records) {
        if (record.writes > record.changedLines + CallsBeyondChangedLines) {
            std::fprintf(stderr, "over budget in %s: %d console calls for %d changed lines\n",
                         record.screen.c_str(), record.writes, record.changedLines);
            ++failures;
        }
    }
    const std::size_t cells = sessionTotal(records);
    if (cells > SessionCellBudget) {
        std::fprintf(stderr, "over budget: %zu cells written in the session\n", cells);
        ++failures;
    }
    return failures;
}

#else

int clearsAfterFirstPaint(const std::vector<PaintRecord>& records) {
    int clears = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        clears += records[i].clears;
    }
    return clears;
}

std::vector<PaintRecord> measureSession(bool proveOnly) {
    std::FILE* output = std::tmpfile();
    std::FILE* input = std::fopen("/dev/null", "r");
    if (output == nullptr || input == nullptr) {
        std::fprintf(stderr, "no temporary file\n");
        std::exit(2);
    }
    MeasuringConsole console(fileno(input), fileno(output));
    if (proveOnly) {
        console.proveOnly();
    }
    runSession(console);
    return console.records;
}

void printTable(const std::vector<PaintRecord>& records) {
    std::printf("| Screen | Paints | Bytes | Writes | Paint time (µs) | Item by item: bytes | "
                "writes |\n|---|--:|--:|--:|--:|--:|--:|\n");
    for (const Row& row : tableRows()) {
        std::vector<const PaintRecord*> matching;
        for (const PaintRecord& record : records) {
            if (row.matches(record)) {
                matching.push_back(&record);
            }
        }
        if (matching.empty()) {
            std::printf("| %s | 0 | | | | | |\n", row.name);
            continue;
        }
        const PaintRecord& worst =
            row.first ? *matching.front()
                      : **std::max_element(matching.begin(), matching.end(),
                                           [](const PaintRecord* a, const PaintRecord* b) {
                                               return a->bytes < b->bytes;
                                           });
        std::printf("| %s | %zu | %zu | %d | %.1f | %zu | %d |\n", row.name, matching.size(),
                    worst.bytes, worst.writes, worst.microseconds, worst.itemBytes,
                    worst.itemWrites);
    }
    std::size_t bytes = 0;
    std::size_t itemBytes = 0;
    int writes = 0;
    int itemWrites = 0;
    for (const PaintRecord& record : records) {
        bytes += record.bytes;
        itemBytes += record.itemBytes;
        writes += record.writes;
        itemWrites += record.itemWrites;
    }
    std::printf("| Whole session (%zu blocking points) | | %zu | %d | | %zu | %d |\n",
                records.size(), bytes, writes, itemBytes, itemWrites);
    const LaterTurns later = laterTurnCost(records);
    std::printf("\nLater turn screens: %zu bytes on average, %zu at most. Clears of the terminal "
                "after the first paint: %d.\n",
                later.mean, later.most, clearsAfterFirstPaint(records));
}

int overBudget(const std::vector<PaintRecord>& records) {
    int failures = 0;
    auto fail = [&](const PaintRecord& record, const char* what) {
        std::fprintf(stderr, "over budget in %s: %s (%zu bytes, %d writes, %.1f us)\n",
                     record.screen.c_str(), what, record.bytes, record.writes, record.microseconds);
        ++failures;
    };
    for (const PaintRecord& record : records) {
        if (record.writes > 1) {
            fail(record, "more than one write at a blocking point");
        }
        if (record.microseconds >= PaintTimeBudgetUs) {
            fail(record, "a paint of a millisecond or more");
        }
        if (in(record, "main menu") && !record.fromCleared && record.bytes > MarkMoveBudget) {
            fail(record, "a selection mark move of more than 48 bytes");
        }
        if (!record.framed) {
            fail(record, "a paint not framed as one synchronized update");
        }
    }
    const std::size_t bytes = sessionTotal(records);
    if (bytes > SessionBudget) {
        std::fprintf(stderr, "over budget: %zu bytes in the session\n", bytes);
        ++failures;
    }
    const LaterTurns later = laterTurnCost(records);
    if (later.mean > LaterTurnScreenMeanBudget) {
        std::fprintf(stderr,
                     "over budget: later turn screens of %zu bytes on average, %zu at most\n",
                     later.mean, later.most);
        ++failures;
    }
    for (const PaintRecord& record : records) {
        if (in(record, "battle") && record.fromCleared && record.bytes > TurnScreenBudget) {
            fail(record, "a turn screen of more than 2,000 bytes");
        }
    }
    return failures;
}

#endif

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    const bool check = mode == "--check";
    const std::vector<PaintRecord> records = measureSession(mode == "--prove");
    if (mode == "--prove") {
#ifndef KENTERMEER_TERMINAL_PROOF
        std::fprintf(stderr, "built without libvterm: nothing to prove the paints on\n");
        return 1;
#endif
        std::printf("%zu paints proven\n", records.size());
        return 0;
    }
    printTable(records);
    const int failures = overBudget(records);
    return check && failures > 0 ? 1 : 0;
}
