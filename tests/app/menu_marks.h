#pragma once

#include "support/virtual_console.h"

#include <algorithm>

// The main-menu entry whose bracket holds the mark in dark green; -1 unless exactly one does.
inline int markedEntry(const VirtualConsole& vc) {
    int marked = -1;
    for (int entry = 0; entry <= 5; ++entry) {
        if (vc.textAt({81, 40 + entry}, 1) == "x") {
            marked = marked == -1 && vc.colorAt({81, 40 + entry}) == DarkGreen ? entry : -2;
        }
    }
    return std::max(marked, -1);
}
