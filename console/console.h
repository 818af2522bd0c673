#pragma once

// The console primitives every screen uses. Each one updates the screen model; the active
// backend shows the model on the real console at the next blocking point (a key or word
// read, a pause, the end of the program).

#include "console/console_types.h"
#include "console/cp1252.h"
#include "console/key_codes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Key codes as readKey folds them.
inline constexpr int KeyEnter = foldKey(keycode::Enter);
inline constexpr int KeyEscape = foldKey(keycode::Escape);
inline constexpr int KeyUp = foldKey(keycode::Up.plain);
inline constexpr int KeyDown = foldKey(keycode::Down.plain);

// Asks the terminal for 197 x 70 and sets the window title; waits, with a notice, while the
// window is too small.
void setupConsole();

// Places the cursor; positions outside the console leave it where it is.
void moveCursor(ScreenPos pos);
void setColor(ConsoleColor color);
void setCursorVisible(bool visible);
// Blanks the whole console in the current colour and puts the cursor at (0, 0).
void clearScreen();
// moveCursor, then the text in the current colour.
void writeAt(ScreenPos pos, std::string_view text);
// Text that directly continues the previous output, without a cursor move.
void writeText(std::string_view text);
// Blanks line y from column fromX to the right edge, in the current colour.
void blankLine(int y, int fromX = 0);
void writeNumber(int value);

// One key, with two-code keys folded: 256 + second code after a first code 0, 512 + second
// code after a first code 224.
int readKey();
// One code as the console's unbuffered character read gives it: a two-code key returns its
// first code and leaves the second for the next read.
int readKeyCode();
// One whitespace-delimited word from the line input, echoed in the current colour. The rest
// of a typed line waits for the next word read.
std::string readWord();
// A whole number from the line input. Text that does not begin with a number, or a number
// beyond 32 bits, gives no value; either way the rest of the typed line is discarded.
std::optional<std::int32_t> readNumber();

// Forgets what was typed ahead and not read yet: the rest of a typed line and the keys
// waiting in the console. The next read waits for new typing.
void dropTypedAhead();

// A blocking pause; what is drawn so far stays on screen during it.
void pause(int milliseconds);

// The program's random generator, seeded once at start-up.
void seedRandom(std::uint32_t seed);
// A non-negative number, as the standard rand gives it.
int drawRandom();

// The orderly end: paints what is left, hands the terminal back and ends with exit code 0.
// The last drawing stays on screen.
[[noreturn]] void endProgram();
