#include "game/play_game.h"

#include "game/battle.h"
#include "game/game_over.h"
#include "game/placement.h"

void playGame() {
    placeShips();
    const BattleResult result = runBattle();
    showGameOver(result);
}
