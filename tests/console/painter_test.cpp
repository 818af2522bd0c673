#include "console/painter.h"
#include "console/vt_output.h"
#include "support/terminal_emulator.h"

#include <gtest/gtest.h>

namespace {

// Paints the model's changes as the Unix backend does and returns the bytes of that paint.
struct PaintedTerminal {
    Screen model;
    PaintedScreen front;
    VtEncoder encoder;
    TerminalEmulator terminal;

    std::string paint() {
        encoder.output().clear();
        paintChanges(model, front, encoder);
        terminal.feed(encoder.output());
        return encoder.output();
    }
    void write(ScreenPos pos, std::string_view text, std::uint8_t color) {
        model.color = color;
        modelMoveCursor(model, pos);
        modelWrite(model, text);
    }
};

} // namespace

TEST(ColourMapping, ConsoleAttributesBecomeSgrColoursOnBlack) {
    // Blue, green and red bits in the console's order; the bright bit picks the 90s.
    const std::pair<std::uint8_t, std::string_view> cases[] = {
        {0, "30"}, {1, "34"},  {2, "32"},  {4, "31"},  {5, "35"}, {8, "90"},
        {9, "94"}, {11, "96"}, {12, "91"}, {14, "93"}, {15, "97"}};
    for (const auto& [color, code] : cases) {
        EXPECT_EQ(sgrFor(color), "\x1b[" + std::string(code) + ";40m") << int(color);
    }
    EXPECT_EQ(sgrFor(DefaultColor), "\x1b[0m");
}

TEST(Painting, Windows1252ReachesTheTerminalAsItsCharactersAndControlBytesNeverAsCommands) {
    PaintedTerminal t;
    t.write({0, 0}, "Hauptmenü Spielfeldgröße ß ° Û"_cp, 2);
    t.write({3, 3}, "\x1b[2J\x07\x81", 15);
    const std::string bytes = t.paint();
    EXPECT_NE(bytes.find("Hauptmen\xc3\xbc"), std::string::npos);
    EXPECT_NE(bytes.find("\xc3\x9f \xc2\xb0 \xc3\x9b"), std::string::npos);
    EXPECT_EQ(bytes.find('\x07'), std::string::npos);
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
    EXPECT_TRUE(t.terminal.unknown().empty());
    // A Latin-1 or Latin-9 terminal gets a byte a character, '?' for what its set lacks.
    const Cell cells[] = {{0xFC, 2}, {0x80, 2}, {0xA4, 2}}; // ü, the euro sign, ¤
    for (const auto& [set, expected] :
         {std::pair{Charset::Latin1, "\xfc?\xa4"}, std::pair{Charset::Latin9, "\xfc\xa4?"}}) {
        VtEncoder latin(set);
        latin.cells({0, 0}, cells, 3);
        EXPECT_TRUE(latin.output().ends_with(expected)) << latin.output();
    }
}

TEST(Painting, OnlyChangedCellsGoOutAfterTheFirstPaint) {
    PaintedTerminal t;
    t.write({80, 40}, "[x] Spiel gegen Computer", 2);
    t.write({80, 42}, "[ ] Optionen", 2);
    t.paint();
    EXPECT_EQ(t.paint(), "") << "nothing changed, nothing is sent";

    // Moving the selection mark: a blank and an x.
    t.write({81, 40}, " ", 2);
    t.write({81, 42}, "x", 2);
    t.model.cursor = {82, 42};
    const std::string move = t.paint();
    EXPECT_LE(move.size(), 32u) << move;
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");

    // Rewriting a cell with what it already shows sends nothing.
    t.write({80, 40}, "[", 2);
    t.model.cursor = {82, 42};
    EXPECT_EQ(t.paint(), "");
}

TEST(Painting, TheFirstClearUsesTheTerminalsOwnColoursAndLaterOnesOneClearInTheCurrentColour) {
    PaintedTerminal t;
    modelClear(t.model);
    t.write({0, 0}, "old text", 12);
    t.paint();
    EXPECT_FALSE(t.terminal.at(5, 5).blackBackground);
    t.model.color = 2;
    modelClear(t.model);
    t.write({5, 5}, "new", 10);
    const std::string bytes = t.paint();
    EXPECT_EQ(bytes.find("old"), std::string::npos);
    EXPECT_NE(bytes.find("\x1b[32;40m\x1b[H\x1b[2J"), std::string::npos);
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
}

TEST(Painting, NearbyChangesShareOneRunAndDistantOnesMoveTheCursor) {
    PaintedTerminal t;
    t.model.color = 15;
    modelClear(t.model);
    t.paint();
    t.write({10, 1}, "ab", 15);
    t.write({14, 1}, "cd", 15); // two unchanged cells between: cheaper to rewrite them
    t.write({150, 1}, "ef", 15);
    const std::string bytes = t.paint();
    EXPECT_NE(bytes.find("ab  cd"), std::string::npos);
    EXPECT_NE(bytes.find("\x1b[134C"), std::string::npos);
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
}

TEST(Painting, TheLastColumnCursorStateAndAnUnknownTerminalEndUpAsInTheModel) {
    PaintedTerminal t;
    t.write({54, 29}, std::string(143, 'V'), 2); // ends in column 196
    t.write({0, 30}, "next", 2);
    t.model.cursorVisible = false;
    t.paint();
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
    t.model.cursorVisible = true;
    modelMoveCursor(t.model, {65, 58});
    t.paint();
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");

    t.front.known = false; // as after a suspension or a resize
    t.encoder.forget();
    t.terminal = TerminalEmulator();
    t.terminal.feed("garbage");
    t.paint();
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
}
