#include "app/info_screens.h"

#include "app/banners.h"
#include "console/console.h"
#include "game/game_over.h"

#include <array>
#include <span>

namespace {

struct ScreenText {
    ScreenPos pos;
    std::string_view text;
};

const std::array<ScreenText, 4> InfoLines = {{
    {{67, 40}, "Programmiert von Mika Sandhoff"},
    {{67, 42}, "Danke an alle aus der Brandungsgruppe für die Bugmeldungen!"_cp},
    {{67, 44}, "ASCII Schriftzüge von: http://www.figlet.org/"_cp},
    {{67, 46}, "Version 1.9 | 23.03.2016 23:28"},
}};

// Newest version first. A version's first line stands at column 54, its further points at
// 67, and a line that carries on the one above at 69.
const std::array<ScreenText, 25> ChangelogLines = {{
    {{54, 27}, "Version 1.9: - rekompiliert in VS2015, Dateispeicherung funktioniert jetzt"},
    {{54, 29},
     "Version 1.8: - Bugfix: Falls die Standardfarben der cmd.exe geändert wurden, gab es "
     "beim ersten Mal im Hauptmenü unschöne Farben im Hintergrund"_cp},
    {{67, 30},
     "- Bug-/Rechtschrebfehlerfix: Falls man im Optionsmenü 2mal falsche Eingaben "
     "gemacht hatte, stand ansatt Zeilen/Spalten"_cp},
    {{69, 31}, "lines/columns dort"},
    {{54, 33},
     "Version 1.7: - Rechtschreibfehler im Changelog (vorher \"Fieldgröße\", jetzt "
     "\"Feldgröße\")"_cp},
    {{67, 34},
     "- Satz: \"- erste komplett Bug-/Fehlerfreie Version *glaub ich* :D\" entfernt, da "
     "er inkorrekt war (Dateispeicherung funktioniert"},
    {{69, 35}, "leider immer noch nicht)"},
    {{54, 37},
     "Version 1.6: - Eintrag im Changelog der Version 1.1 fehlte, da er von einer "
     "anderen Zeile überschrieben wurde"_cp},
    {{54, 40}, "Version 1.5: - Bugfix bei der Dateispeicherung"},
    {{67, 41}, "- Code weiter überarbeitet, verbessert und verkürzt"_cp},
    {{54, 43},
     "Version 1.4: - Bugfix: bei Schiffen, die noch nicht getroffen wurden, wurden auch "
     "Schiffe, die schon getroffen wurden, angezeigt"},
    {{67, 44}, "- Option zum festen Speichern der Optionen hinzugefügt"_cp},
    {{67, 45}, "- Code teilweise überarbeitet und verkürzt"_cp},
    {{54, 47},
     "Version 1.3: - Bugfix: keine Schiffe nach 2tem Spiel an der selbem Position wie im "
     "ersten Spiel platzierbar"},
    {{67, 48}, "- Cheat Mode ins Optionsmenü verschoben"_cp},
    {{67, 49}, "- Changelog invers sortiert"},
    {{67, 50},
     "- gegnerische Schiffspositionen werden angezeigt, wenn man das Spiel verloren hat "
     "und der Cheat Mode ausgeschaltet ist"},
    {{54, 52},
     "Version 1.2: - Bugfix: Meldung: \"Dort haben Sie bereits hingeschossen\", obwohl "
     "das Feld frei war"},
    {{67, 53}, "- Optionsmenü, in dem man die Feldgröße einstellen kann, hinzugefügt"_cp},
    {{54, 55},
     "Version 1.1: - Bugfix: Nach Beenden eines Spiels kein weiteres Spiel ohne Fehler "
     "oder Neustart möglich"_cp},
    {{67, 56}, "- Changelog hinzugefügt"_cp},
    {{67, 57}, "- Versionsnummer aus Titel entfernt"},
    {{67, 58},
     "- Cursor bleibt an Punkt im Hauptmenü, wenn man z. B. auf Info wechselt, bleibt "
     "der Cursor auf Info im Hauptmenü"_cp},
    {{54, 60}, "Version 1.0: - Erstveröffentlichung"_cp},
}};

void drawTextScreen(const std::array<std::string_view, 14>& banner, int bannerColumn,
                    std::span<const ScreenText> lines) {
    clearScreen();
    setColor(LightGreen);
    for (std::size_t i = 0; i < banner.size(); ++i) {
        writeAt({bannerColumn, 5 + static_cast<int>(i)}, banner[i]);
    }
    setColor(DarkGreen);
    for (const ScreenText& line : lines) {
        writeAt(line.pos, line.text);
    }
    awaitKeyForMainMenu({65, 65});
}

} // namespace

void showInfo() {
    drawTextScreen(InfoBanner, 79, InfoLines);
}

void showChangelog() {
    drawTextScreen(ChangelogBanner, 52, ChangelogLines);
}
