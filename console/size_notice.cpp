#include "console/size_notice.h"

std::vector<std::string> sizeNoticeLines(int columns, int lines) {
    return {
        std::string("Kentermeer braucht ein Fenster von mindestens 197 × 70 Zeichen."_cp),
        "Jetzt: " + std::to_string(columns) + std::string(" × "_cp) + std::to_string(lines) + ".",
        "",
        std::string("Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."_cp),
        std::string("Esc beendet das Programm."_cp),
    };
}
