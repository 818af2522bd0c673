#include "options/options_menu.h"

#include "console/console.h"
#include "options/game_options.h"
#include "options/options_banner.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// The entries by their line's distance from line 36; the heading "Spielfeldgröße" stands
// between the two groups and is never marked.
constexpr int FirstEntryLine = 36;
constexpr int CheatModeEntry = 0;
constexpr int SaveOptionsEntry = 1;
constexpr int ColumnsEntry = 4;
constexpr int RowsEntry = 5;

constexpr int MarkColumn = 81;
constexpr int LabelColumn = 84;
constexpr int ValueColumn = 104;

std::string_view switchText(bool on) {
    return on ? "An" : "Aus";
}

void drawOptionsScreen() {
    clearScreen();
    setCursorVisible(false);
    setColor(LightGreen);
    for (int i = 0; i < static_cast<int>(OptionsBanner.size()); ++i) {
        writeAt({54, 5 + i}, OptionsBanner[static_cast<std::size_t>(i)]);
    }
    setColor(DarkRed);
    writeAt({78, 35}, "Allgemein");
    writeAt({78, 39}, "Spielfeldgröße"_cp);
    setColor(DarkGreen);
    writeAt({80, 36}, "[x] Cheat Mode:");
    writeAt({ValueColumn, 36}, switchText(gameOptions.cheatMode));
    writeAt({80, 37}, "[ ] Optionen speichern:");
    writeAt({ValueColumn, 37}, switchText(gameOptions.saveOptions));
    writeAt({80, 40}, "[ ] Anzahl der Spalten:");
    moveCursor({ValueColumn, 40});
    writeNumber(gameOptions.columns);
    writeAt({80, 41}, "[ ] Anzahl der Zeilen:");
    moveCursor({ValueColumn, 41});
    writeNumber(gameOptions.rows);
    setColor(LightRed);
    writeAt({74, 65}, "Drücken Sie ESC um zum Hauptmenü zurückzukehren..."_cp);
}

int entryBelow(int entry) {
    switch (entry) {
    case CheatModeEntry:
        return SaveOptionsEntry;
    case SaveOptionsEntry:
        return ColumnsEntry;
    default:
        return RowsEntry;
    }
}

int entryAbove(int entry) {
    switch (entry) {
    case RowsEntry:
        return ColumnsEntry;
    case ColumnsEntry:
        return SaveOptionsEntry;
    default:
        return CheatModeEntry;
    }
}

// The mark turns light red while a value is edited.
void markEditing(int y) {
    moveCursor({MarkColumn, y});
    setColor(LightRed);
    writeText("x");
}

// Up and Down toggle what is shown; only Enter puts it into the record, Escape shows the
// record's value again.
void editSwitch(bool& field, int y) {
    markEditing(y);
    setColor(DarkGreen);
    bool shown = field;
    for (;;) {
        const int key = readKey();
        if (key == KeyUp || key == KeyDown) {
            writeAt({ValueColumn, y}, "   ");
            moveCursor({ValueColumn, y});
            shown = !shown;
            writeText(switchText(shown));
        } else if (key == KeyEnter) {
            field = shown;
            break;
        } else if (key == KeyEscape) {
            break;
        }
    }
    moveCursor({MarkColumn, y});
    setColor(DarkGreen);
    writeText("x");
    writeAt({ValueColumn, y}, "   ");
    writeAt({ValueColumn, y}, switchText(field));
}

struct NumberField {
    std::int32_t& value;
    std::int32_t limit;
    // The other side of the board: together they must hold the ships.
    std::int32_t other;
    // 20 characters, so that the value comes back to its column.
    std::string_view label;
};

// The entry cannot be cancelled: it ends only with a value that passes both checks, so the
// record is always a board of at least four cells.
void enterNumber(const NumberField& field, int y) {
    markEditing(y);
    writeAt({ValueColumn, y}, "  ");
    moveCursor({ValueColumn, y});
    setCursorVisible(true);
    bool errorShown = false;
    std::int32_t number = 0;
    for (;;) {
        const std::optional<std::int32_t> typed = readNumber();
        if (!typed || *typed < 1 || *typed > field.limit) {
            // The last try's typing may reach beyond the message; the next try is typed there.
            blankLine(y, LabelColumn);
            writeAt({LabelColumn, y},
                    "Geben Sie maximal " + std::to_string(field.limit) + " und minimal 1 ein: ");
            errorShown = true;
            continue;
        }
        number = *typed;
        if (number * field.other < ShipCount) {
            blankLine(y, LabelColumn);
            writeAt({LabelColumn, y}, "Geben Sie mindestens ");
            writeNumber((ShipCount + field.other - 1) / field.other);
            writeText(" ein: ");
            errorShown = true;
            continue;
        }
        break;
    }
    field.value = number;
    if (errorShown) {
        moveCursor({LabelColumn, y});
        setColor(DarkGreen);
        writeText(field.label);
        writeNumber(number);
        writeText("                            ");
    }
    setCursorVisible(false);
    setColor(DarkGreen);
    writeAt({ValueColumn, y}, std::to_string(number));
    // What was typed stays echoed on the line (a leading zero, a second number); it must
    // not read as part of the value.
    blankLine(y, ValueColumn + static_cast<int>(std::to_string(number).size()));
    writeAt({MarkColumn, y}, "x");
}

void editEntry(int entry) {
    const int y = FirstEntryLine + entry;
    switch (entry) {
    case CheatModeEntry:
        editSwitch(gameOptions.cheatMode, y);
        break;
    case SaveOptionsEntry:
        editSwitch(gameOptions.saveOptions, y);
        break;
    case ColumnsEntry:
        enterNumber({gameOptions.columns, MaxColumns, gameOptions.rows, "Anzahl der Spalten: "}, y);
        break;
    default:
        enterNumber({gameOptions.rows, MaxRows, gameOptions.columns, "Anzahl der Zeilen:  "}, y);
        break;
    }
}

} // namespace

void runOptionsMenu() {
    drawOptionsScreen();
    setColor(DarkGreen);
    int selected = CheatModeEntry;
    for (;;) {
        const int key = readKey();
        writeAt({MarkColumn, FirstEntryLine + selected}, " ");
        if (key == KeyDown) {
            selected = entryBelow(selected);
        } else if (key == KeyUp) {
            selected = entryAbove(selected);
        }
        writeAt({MarkColumn, FirstEntryLine + selected}, "x");
        if (key == KeyEnter) {
            editEntry(selected);
        } else if (key == KeyEscape) {
            return;
        }
    }
}
