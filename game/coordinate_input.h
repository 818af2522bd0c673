#pragma once

// The typed-coordinate prompt shared by placement and the player's shots: reading a word,
// judging it against the board, answering a refused word in the message area.

#include "console/console.h"

#include <string_view>

// The next typed word, echoed in light green, as a parsed position.
ScreenPos readCoordinate();
// Why a parsed position names no board cell (an unknown letter or digit before a cell off
// the board), or an empty text when it names one.
std::string_view boardFault(ScreenPos cell);
// The refusal in light red, message on the message line, followUp on the prompt line where
// the next word is typed. Only the prompt line is blanked first when blankMessageLine is
// false: the message is long enough to cover what stood there.
void showInputFault(std::string_view message, std::string_view followUp,
                    bool blankMessageLine = true);
