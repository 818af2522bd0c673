#pragma once

// The notice shown instead of the program while its console window is smaller than
// 197 x 70, the same on every platform.

#include "console/console.h"

#include <string>
#include <vector>

// Where the notice's first line starts; each further line starts one line lower.
inline constexpr ScreenPos SizeNoticeStart{2, 1};

// The notice's lines as Windows-1252 text, given the window's size now, each line starting
// at SizeNoticeStart and all of them within the window; an empty line is a gap. The last
// line says that Escape ends the program, where it does; advice, paragraphs a platform adds
// on ways to a bigger window, goes before it. A window too short for all of it shows the
// size, and whatever else fits.
std::vector<std::string> sizeNoticeLines(int columns, int lines, bool escapeEnds = true,
                                         const std::vector<std::string>& advice = {});
