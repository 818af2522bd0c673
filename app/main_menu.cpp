#include "app/main_menu.h"

#include "app/banners.h"
#include "console/console.h"

std::int32_t menuDrawCount = 0;

namespace {

constexpr int EntryColumn = 80;
constexpr int FirstEntryLine = 40;
// Inside the brackets of an entry.
constexpr int MarkColumn = 81;

ScreenPos markPos(int selection) {
    return {MarkColumn, FirstEntryLine + selection};
}

void drawMainMenu(int selection) {
    ++menuDrawCount;
    clearScreen();
    setCursorVisible(false);

    setColor(LightGreen);
    for (std::size_t i = 0; i < TitleBanner.size(); ++i) {
        writeAt({10, 5 + static_cast<int>(i)}, TitleBanner[i]);
    }

    setColor(DarkRed);
    writeAt({94, 37}, "Hauptmenü"_cp);
    setColor(DarkGreen);
    writeAt({EntryColumn, 40}, "[ ] Spiel gegen Computer");
    moveCursor({EntryColumn, 41});
    setColor(DarkGrey);
    writeText("[ ] Spieler gegen Spieler (noch nicht implementiert)");
    moveCursor({EntryColumn, 42});
    setColor(DarkGreen);
    writeText("[ ] Optionen");
    writeAt({EntryColumn, 43}, "[ ] Info");
    writeAt({EntryColumn, 44}, "[ ] Changelog");
    writeAt({EntryColumn, 45}, "[ ] Beenden");

    writeAt(markPos(selection), "x");
}

int moveSelection(int selection, int key) {
    if (key == KeyDown && selection < Quit) {
        return selection == VsComputer ? Options : selection + 1;
    }
    if (key == KeyUp && selection > VsComputer) {
        return selection == Options ? VsComputer : selection - 1;
    }
    return selection;
}

} // namespace

MenuEntry showMainMenu(MenuEntry selection) {
    int current = selection;
    drawMainMenu(current);
    // The first clear of a run blanks the screen in the terminal's own colours, which may
    // have a background of their own; cleared again in dark green on black, every cell of
    // the menu stands on black.
    if (menuDrawCount == 1) {
        drawMainMenu(current);
    }

    for (;;) {
        const int key = readKey();
        writeAt(markPos(current), " ");
        current = moveSelection(current, key);
        writeAt(markPos(current), "x");
        if (key == KeyEnter) {
            return static_cast<MenuEntry>(current);
        }
    }
}
