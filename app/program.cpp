#include "app/program.h"

#include "app/info_screens.h"
#include "app/main_menu.h"
#include "console/console.h"
#include "game/game_state.h"
#include "game/play_game.h"
#include "options/options_file.h"
#include "options/options_menu.h"

#include <ctime>

void runProgram() {
    // The only seeding: the computer's ships and shots all come from this sequence.
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    setupConsole();
    buildOptionsPaths();
    loadOptionsFile();

    MenuEntry menuSelection = VsComputer;
    for (;;) {
        resetGame();
        bool gamePlayed = false;
        while (!gamePlayed) {
            menuSelection = showMainMenu(menuSelection);
            switch (menuSelection) {
            case VsComputer:
                playGame();
                gamePlayed = true;
                break;
            case Options:
                runOptionsMenu();
                break;
            case Info:
                showInfo();
                break;
            case Changelog:
                showChangelog();
                break;
            case Quit:
                storeOptionsFile();
                return;
            case VsPlayer:
                break; // the menu never returns the entry it cannot mark
            }
        }
    }
}
