#include "console/cp1252.h"
#include "console/size_notice.h"
#include "console/windows_console.h"

#include <algorithm>

namespace {

// Pixels; smaller fonts are not offered, as hardly anyone reads them.
constexpr SHORT SmallestFont = 7;

} // namespace

std::optional<SHORT> fontThatFits(COORD largest, COORD cell) {
    if (largest.X <= 0 || largest.Y <= 0 || cell.X <= 0 || cell.Y <= 0 ||
        (largest.X >= ConsoleWidth && largest.Y >= ConsoleHeight)) {
        return std::nullopt; // nothing known, or the screen holds it: the window is to grow
    }
    // The screen's pixels as far as the console may use them.
    const int pixelsAcross = largest.X * cell.X;
    const int pixelsDown = largest.Y * cell.Y;
    // A face's cells keep their proportions, their width rounded up to whole pixels.
    for (int height = std::min(pixelsDown / ConsoleHeight, cell.Y - 1); height >= SmallestFont;
         --height) {
        const int width = (height * cell.X + cell.Y - 1) / cell.Y;
        if (width * ConsoleWidth <= pixelsAcross) {
            return static_cast<SHORT>(height);
        }
    }
    return std::nullopt;
}

std::vector<std::string> windowsNoticeLines(COORD visible, bool inWindow, bool fontOffered) {
    std::vector<std::string> advice;
    // A terminal has its own ways to a smaller font.
    if (inWindow) {
        advice.emplace_back("Die Schrift finden Sie im Fenstermenü (Klick auf das Symbol oben "
                            "links) unter Eigenschaften › Schriftart."_cp);
    }
    if (inWindow && fontOffered) {
        advice.emplace_back("Mit F stellt Kentermeer die größte Schrift ein, bei der 197 × 70 "
                            "Zeichen auf den Bildschirm passen."_cp);
    }
    return sizeNoticeLines(visible.X, visible.Y, true, advice);
}

void WindowsConsole::saveFont() {
    savedFont_ = CONSOLE_FONT_INFOEX{};
    savedFont_.cbSize = sizeof savedFont_;
    haveFont_ = GetCurrentConsoleFontEx(output_, FALSE, &savedFont_) != 0;
}

std::optional<SHORT> WindowsConsole::fontToOffer() {
    CONSOLE_FONT_INFOEX now{};
    now.cbSize = sizeof now;
    // Only a TrueType face comes in every size; the player's own is kept.
    if (host_ != ConsoleHost::Window || !haveFont_ ||
        !GetCurrentConsoleFontEx(output_, FALSE, &now) || !(now.FontFamily & TMPF_TRUETYPE)) {
        return std::nullopt;
    }
    return fontThatFits(GetLargestConsoleWindowSize(output_), now.dwFontSize);
}

bool WindowsConsole::setFontThatFits() {
    // Not once the console is handed back, the player's font with it.
    if (!consoleGate().startPainting()) {
        return false;
    }
    std::optional<SHORT> height = fontToOffer();
    // The face's real widths may differ from the estimate by a pixel: the screen has the word.
    for (int tries = 0; height && *height >= SmallestFont && tries < 3; ++tries) {
        CONSOLE_FONT_INFOEX font = savedFont_;
        font.nFont = 0;
        font.dwFontSize = {0, *height};
        if (!SetCurrentConsoleFontEx(output_, FALSE, &font)) {
            break;
        }
        fontChanged_ = true;
        const COORD largest = GetLargestConsoleWindowSize(output_);
        if (largest.X >= ConsoleWidth && largest.Y >= ConsoleHeight) {
            consoleGate().stopPainting();
            return true;
        }
        height = static_cast<SHORT>(*height - 1);
    }
    if (fontChanged_) {
        SetCurrentConsoleFontEx(output_, FALSE, &savedFont_);
        fontChanged_ = false;
    }
    consoleGate().stopPainting();
    return false;
}
