#include "app/banners.h"
#include "app/info_screens.h"
#include "app/main_menu.h"
#include "console/virtual_console.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Line {
    int x;
    int y;
    std::string_view text;
};

const std::string_view ClosingPrompt =
    "Drücken Sie eine beliebige Taste um zum Hauptmenü zurückzukehren..."_cp;

const std::array<Line, 25> ChangelogEntries = {{
    {54, 27, "Version 1.9: - rekompiliert in VS2015, Dateispeicherung funktioniert jetzt"},
    {54, 29,
     "Version 1.8: - Bugfix: Falls die Standardfarben der cmd.exe geändert wurden, gab es beim "
     "ersten Mal im Hauptmenü unschöne Farben im Hintergrund"_cp},
    {67, 30,
     "- Bug-/Rechtschrebfehlerfix: Falls man im Optionsmenü 2mal falsche Eingaben gemacht "
     "hatte, stand ansatt Zeilen/Spalten"_cp},
    {69, 31, "lines/columns dort"},
    {54, 33,
     "Version 1.7: - Rechtschreibfehler im Changelog (vorher \"Fieldgröße\", jetzt "
     "\"Feldgröße\")"_cp},
    {67, 34,
     "- Satz: \"- erste komplett Bug-/Fehlerfreie Version *glaub ich* :D\" entfernt, da er "
     "inkorrekt war (Dateispeicherung funktioniert"},
    {69, 35, "leider immer noch nicht)"},
    {54, 37,
     "Version 1.6: - Eintrag im Changelog der Version 1.1 fehlte, da er von einer anderen "
     "Zeile überschrieben wurde"_cp},
    {54, 40, "Version 1.5: - Bugfix bei der Dateispeicherung"},
    {67, 41, "- Code weiter überarbeitet, verbessert und verkürzt"_cp},
    {54, 43,
     "Version 1.4: - Bugfix: bei Schiffen, die noch nicht getroffen wurden, wurden auch "
     "Schiffe, die schon getroffen wurden, angezeigt"},
    {67, 44, "- Option zum festen Speichern der Optionen hinzugefügt"_cp},
    {67, 45, "- Code teilweise überarbeitet und verkürzt"_cp},
    {54, 47,
     "Version 1.3: - Bugfix: keine Schiffe nach 2tem Spiel an der selbem Position wie im "
     "ersten Spiel platzierbar"},
    {67, 48, "- Cheat Mode ins Optionsmenü verschoben"_cp},
    {67, 49, "- Changelog invers sortiert"},
    {67, 50,
     "- gegnerische Schiffspositionen werden angezeigt, wenn man das Spiel verloren hat und "
     "der Cheat Mode ausgeschaltet ist"},
    {54, 52,
     "Version 1.2: - Bugfix: Meldung: \"Dort haben Sie bereits hingeschossen\", obwohl das "
     "Feld frei war"},
    {67, 53, "- Optionsmenü, in dem man die Feldgröße einstellen kann, hinzugefügt"_cp},
    {54, 55,
     "Version 1.1: - Bugfix: Nach Beenden eines Spiels kein weiteres Spiel ohne Fehler oder "
     "Neustart möglich"_cp},
    {67, 56, "- Changelog hinzugefügt"_cp},
    {67, 57, "- Versionsnummer aus Titel entfernt"},
    {67, 58,
     "- Cursor bleibt an Punkt im Hauptmenü, wenn man z. B. auf Info wechselt, bleibt der "
     "Cursor auf Info im Hauptmenü"_cp},
    {54, 60, "Version 1.0: - Erstveröffentlichung"_cp},
}};

// Every line of the screen that is not in `drawn` must be blank.
void expectOnlyLinesDrawn(const VirtualConsole& vc, const std::string& drawn) {
    for (int y = 0; y < ConsoleHeight; ++y) {
        if (drawn.find("," + std::to_string(y) + ",") == std::string::npos) {
            EXPECT_EQ(vc.line(y), "") << "line " << y;
        }
    }
}

TEST(InfoScreen, ShowsBannerTextAndPromptAtTheirPlacesAndColours) {
    VirtualConsole vc;
    vc.type("x");
    showInfo();
    std::string drawn = ",65,";
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(vc.shows({79, 5 + i}, InfoBanner[static_cast<std::size_t>(i)], LightGreen))
            << "banner line " << i;
        drawn += std::to_string(5 + i) + ",";
    }
    EXPECT_TRUE(vc.shows({67, 40}, "Programmiert von Mika Sandhoff", DarkGreen));
    EXPECT_TRUE(vc.shows({67, 42}, "Danke an alle aus der Brandungsgruppe für die Bugmeldungen!"_cp,
                         DarkGreen));
    EXPECT_TRUE(vc.shows({67, 44}, "ASCII Schriftzüge von: http://www.figlet.org/"_cp, DarkGreen));
    EXPECT_TRUE(vc.shows({67, 46}, "Version 1.9 | 23.03.2016 23:28", DarkGreen));
    EXPECT_TRUE(vc.shows({65, 65}, ClosingPrompt, LightRed));
    EXPECT_EQ(vc.line(40).size(), 67u + 30u);
    expectOnlyLinesDrawn(vc, drawn + "40,42,44,46,");
}

TEST(ChangelogScreen, ShowsEveryEntryAtItsPlaceInDarkGreen) {
    VirtualConsole vc;
    vc.type("x");
    showChangelog();
    std::string drawn = ",65,";
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(vc.shows({52, 5 + i}, ChangelogBanner[static_cast<std::size_t>(i)], LightGreen))
            << "banner line " << i;
        drawn += std::to_string(5 + i) + ",";
    }
    for (const Line& entry : ChangelogEntries) {
        EXPECT_TRUE(vc.shows({entry.x, entry.y}, entry.text, DarkGreen)) << "line " << entry.y;
        // Nothing stands before an entry on its line.
        EXPECT_EQ(vc.textAt({0, entry.y}, entry.x), std::string(entry.x, ' '));
        drawn += std::to_string(entry.y) + ",";
    }
    EXPECT_TRUE(vc.shows({65, 65}, ClosingPrompt, LightRed));
    expectOnlyLinesDrawn(vc, drawn);
}

TEST(ChangelogScreen, LongestEntryEndsInTheLastColumnWithoutWrapping) {
    VirtualConsole vc;
    vc.type("x");
    showChangelog();
    EXPECT_EQ(ChangelogEntries[1].text.size(), 143u);
    EXPECT_EQ(vc.line(29).size(), static_cast<std::size_t>(ConsoleWidth));
    EXPECT_EQ(vc.textAt({196, 29}, 1), "d");
    EXPECT_EQ(vc.colorAt({196, 29}), DarkGreen);
    // The line below starts with blanks up to its own entry: nothing ran over.
    EXPECT_EQ(vc.textAt({0, 30}, 67), std::string(67, ' '));
}

TEST(InfoAndChangelog, LeaveTheCursorAsItWasAndTheColourLightRed) {
    VirtualConsole vc;
    setCursorVisible(false);
    vc.type("ab");
    showInfo();
    EXPECT_FALSE(vc.screen().cursorVisible);
    EXPECT_EQ(vc.screen().color, LightRed);
    showChangelog();
    EXPECT_FALSE(vc.screen().cursorVisible);
    EXPECT_EQ(vc.screen().color, LightRed);
}

TEST(InfoAndChangelog, AnyKeyReturnsAfterExactlyOneKey) {
    VirtualConsole vc;
    for (std::string_view key : {std::string_view("a"), std::string_view(" "), keys::Enter}) {
        vc.type(key);
        vc.type("z");
        showInfo();
        EXPECT_EQ(readKeyCode(), 'z') << "after " << key;
        vc.type(key);
        vc.type("z");
        showChangelog();
        EXPECT_EQ(readKeyCode(), 'z') << "after " << key;
    }
    vc.pressEscape();
    vc.type("z");
    showInfo();
    EXPECT_EQ(readKeyCode(), 'z');
}

TEST(InfoAndChangelog, ArrowKeyLeavesItsSecondCodeForTheMenuWhereItMovesNothing) {
    menuDrawCount = 1;
    VirtualConsole vc;
    vc.type(keys::Down);
    showInfo();
    // The menu reads 80, the second code of Down, as a key of its own; then Enter.
    vc.type(keys::Enter);
    EXPECT_EQ(showMainMenu(Info), Info);
    EXPECT_EQ(vc.unreadInput(), 0u);

    vc.type(keys::Up);
    showChangelog();
    vc.type(keys::Enter);
    EXPECT_EQ(showMainMenu(Changelog), Changelog);
}

} // namespace
