#include "console/size_notice.h"

std::vector<std::string> sizeNoticeLines(int columns, int lines, bool escapeEnds) {
    std::vector<std::string> notice{
        std::string("Kentermeer braucht ein Fenster von mindestens 197 × 70 Zeichen."_cp),
        "Jetzt: " + std::to_string(columns) + std::string(" × "_cp) + std::to_string(lines) + ".",
        "",
        std::string("Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."_cp),
    };
    if (escapeEnds) {
        notice.emplace_back("Esc beendet das Programm.");
    }
    return notice;
}
