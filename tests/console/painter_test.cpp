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
    EXPECT_EQ(sgrFor(0), "\x1b[30;40m");
    EXPECT_EQ(sgrFor(1), "\x1b[34;40m"); // blue bit
    EXPECT_EQ(sgrFor(2), "\x1b[32;40m"); // green bit
    EXPECT_EQ(sgrFor(4), "\x1b[31;40m"); // red bit
    EXPECT_EQ(sgrFor(5), "\x1b[35;40m");
    EXPECT_EQ(sgrFor(8), "\x1b[90;40m");
    EXPECT_EQ(sgrFor(9), "\x1b[94;40m");
    EXPECT_EQ(sgrFor(11), "\x1b[96;40m");
    EXPECT_EQ(sgrFor(12), "\x1b[91;40m");
    EXPECT_EQ(sgrFor(14), "\x1b[93;40m");
    EXPECT_EQ(sgrFor(15), "\x1b[97;40m");
    EXPECT_EQ(sgrFor(DefaultColor), "\x1b[0m");
}

TEST(Painting, Windows1252BytesReachTheTerminalAsTheirCharacters) {
    PaintedTerminal t;
    t.write({0, 0}, "Hauptmenü Spielfeldgröße ß ° Û"_cp, 2);
    const std::string bytes = t.paint();
    EXPECT_NE(bytes.find("Hauptmen\xc3\xbc"), std::string::npos);
    EXPECT_NE(bytes.find("\xc3\x9f \xc2\xb0 \xc3\x9b"), std::string::npos);
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
}

TEST(Painting, ControlBytesNeverReachTheTerminalAsCommands) {
    PaintedTerminal t;
    t.write({3, 3}, "\x1b[2J\x07\x81", 15);
    const std::string bytes = t.paint();
    EXPECT_EQ(bytes.find("\x1b[2J"), bytes.find("\x1b[2J")); // only the painter's own clear
    EXPECT_EQ(bytes.find('\x07'), std::string::npos);
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
    EXPECT_TRUE(t.terminal.unknown().empty());
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

TEST(Painting, AClearIsOneTerminalClearInTheCurrentColour) {
    PaintedTerminal t;
    t.write({0, 0}, "old text", 12);
    t.paint();
    t.model.color = 2;
    modelClear(t.model);
    t.write({5, 5}, "new", 10);
    const std::string bytes = t.paint();
    EXPECT_EQ(bytes.find("old"), std::string::npos);
    EXPECT_NE(bytes.find("\x1b[32;40m\x1b[H\x1b[2J"), std::string::npos);
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
}

TEST(Painting, TheFirstClearOfARunUsesTheTerminalsOwnColours) {
    PaintedTerminal t;
    modelClear(t.model);
    t.write({94, 37}, "Hauptmenü"_cp, 4);
    t.paint();
    EXPECT_FALSE(t.terminal.at(0, 0).blackBackground);
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

TEST(Painting, TheLastColumnAndTheCursorStateEndUpAsInTheModel) {
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
}

TEST(Painting, AnUnknownTerminalIsRepaintedWhole) {
    PaintedTerminal t;
    t.write({1, 1}, "kept", 11);
    t.paint();
    t.front.known = false; // as after a suspension or a resize
    t.encoder.forget();
    t.terminal = TerminalEmulator();
    t.terminal.feed("garbage");
    t.paint();
    EXPECT_EQ(t.terminal.differenceFrom(t.model), "");
}
