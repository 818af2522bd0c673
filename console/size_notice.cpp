#include "console/size_notice.h"

std::vector<std::string> sizeNoticeLines(int columns, int lines, bool escapeEnds) {
    // Line by line: clang 14 crashes on this vector given as one braced list.
    std::vector<std::string> notice;
    notice.emplace_back("Kentermeer braucht ein Fenster von mindestens 197 × 70 Zeichen."_cp);
    notice.push_back("Jetzt: " + std::to_string(columns) + std::string(" × "_cp) +
                     std::to_string(lines) + ".");
    notice.emplace_back();
    notice.emplace_back("Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."_cp);
    if (escapeEnds) {
        notice.emplace_back("Esc beendet das Programm.");
    }
    return notice;
}
