#pragma once

// The contents of "Optionen.cfg": four decimal lines, columns, rows, cheat mode and saving.
// The same bytes on every system, so a file moves between them unchanged.

#include "options/game_options.h"

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

// Four lines of 19 characters and their line ends fit in under a hundred bytes; no more than
// this is read from any file, so that a huge or endless one cannot hold up the start.
constexpr std::size_t OptionsReadLimit = 512;

// The file's bytes for these options, CR LF after every line.
std::string formatOptions(const GameOptions& options);

// Takes the four lines of the file's bytes into options. Lines may end with LF or CR LF; each
// is converted like strtol, a value out of range gives that field's default, a board of fewer
// than four cells gives 17 x 8, a missing line leaves its field alone. Lines after the fourth
// are not looked at.
void readOptions(std::string_view bytes, GameOptions& options);
// The same for the first OptionsReadLimit bytes of a stream; what lies beyond counts as the
// end of the file.
void readOptions(std::istream& in, GameOptions& options);
