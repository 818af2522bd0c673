#pragma once

// The battle: turns alternate, the player first, until one side has hit all four ships.

enum class BattleResult { PlayerWon, ComputerWon };
enum class ShotResult { Miss, Hit };

BattleResult runBattle();
void playerTurn();
