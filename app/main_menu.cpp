#include "app/main_menu.h"

#include "console/console.h"

MenuEntry showMainMenu(MenuEntry) {
    clearScreen();
    setColor(DarkRed);
    writeAt({94, 37}, "Hauptmenü"_cp);
    for (;;) {
        if (readKey() == KeyEnter) {
            return Quit;
        }
    }
}
