// That every paint leaves the terminal showing the model is proven by the painter fuzz target
// on each input of its corpus; these tests pin down what it costs and how text is encoded.

#include "console/vt_output.h"

#include <gtest/gtest.h>

namespace {

struct Painted {
    Screen model;
    PaintedScreen front;
    VtEncoder encoder;

    explicit Painted(Charset set = Charset::Utf8) : encoder(set) {}
    void write(ScreenPos pos, std::string_view text, std::uint8_t color) {
        model.color = color;
        modelMoveCursor(model, pos);
        modelWrite(model, text);
    }
    // The bytes of one paint of the model's changes as the Unix backend sends them, without
    // the frame of a synchronized update.
    std::string paint() {
        paintTerminal(model, front, encoder);
        std::string bytes = encoder.output();
        if (bytes.empty()) {
            return bytes;
        }
        EXPECT_TRUE(bytes.starts_with("\x1b[?2026h") && bytes.ends_with("\x1b[?2026l"));
        return bytes.substr(8, bytes.size() - 16);
    }
    void clear(std::uint8_t color) {
        model.color = color;
        modelClear(model);
    }
};

} // namespace

TEST(Painting, ClearsTheTerminalOnlyWhereThatIsShorterThanTheCellsThatLookDifferent) {
    Painted t;
    t.write({0, 0}, "Kopf", BrightWhite);
    // The first paint blanks in the terminal's own colours.
    EXPECT_EQ(t.paint(), "\x1b[0m\x1b[H\x1b[2J\x1b[97;40mKopf\x1b[?25h");
    // Every blank now on black: a clear is shorter. The background stays black, so a new
    // colour is its foreground alone.
    t.clear(DarkGrey);
    t.write({0, 0}, "Kopf", BrightWhite);
    t.write({10, 3}, "X", DarkGreen);
    EXPECT_EQ(t.paint(), "\x1b[90m\x1b[H\x1b[2J\x1b[97mKopf\x1b[4;11H\x1b[32mX");
    // The same screen again, the X two cells on: a blank in any colour on black looks like
    // any other, so the blank goes in the colour in force, and nothing else is sent.
    t.clear(DarkGrey);
    t.write({0, 0}, "Kopf", BrightWhite);
    t.write({12, 3}, "X", DarkGreen);
    EXPECT_EQ(t.paint(), "\x1b[D  X");
    EXPECT_EQ(t.paint(), "");
}

TEST(Painting, ErasesBlankedRestsAndLongBlankStretchesAndTakesTheShortestMove) {
    Painted t;
    t.clear(DarkGrey);
    t.write({0, 5}, std::string(60, 'a'), DarkGrey);
    t.write({150, 9}, "b", DarkGrey);
    t.paint();
    t.clear(DarkGrey);
    t.write({0, 5}, "aa", DarkGrey);
    t.write({40, 5}, "aaaaa", DarkGrey);
    t.write({150, 9}, "b", DarkGrey);
    t.write({2, 8}, "c", DarkGrey);
    modelMoveCursor(t.model, {0, 9});
    EXPECT_EQ(t.paint(), "\x1b[6;3H\x1b[38X\x1b[43C\x1b[K\x1b[9;3Hc\x1b[B\r");
    // A blank on the terminal's own background is a cell of its own.
    t.write({0, 9}, "  ", DefaultColor);
    EXPECT_EQ(t.paint(), "\x1b[0m  ");
}

TEST(Painting, Windows1252TextReachesTheTerminalInItsCharacterSet) {
    const std::pair<Charset, std::string_view> cases[] = {
        {Charset::Utf8, "\xc3\xbc\xe2\x82\xac\xc2\xa4"},
        {Charset::Latin1, "\xfc?\xa4"}, // a character the set lacks becomes '?'
        {Charset::Latin9, "\xfc\xa4?"},
    };
    for (const auto& [set, shown] : cases) {
        Painted t(set);
        t.write({0, 0}, "ü€¤"_cp, DarkGreen);
        EXPECT_NE(t.paint().find(shown), std::string::npos) << static_cast<int>(set);
    }
}

// As on the console, so that a drawing that ran off the screen would show in the tests as
// it shows to the player.
TEST(ScreenModel, WritingPastTheLastCellScrollsEveryLineUpByOne) {
    Screen model;
    model.at(0, 1).ch = 't';
    modelMoveCursor(model, {196, 69}); // the last cell
    modelWrite(model, "ab");
    EXPECT_EQ((std::string{char(model.at(0, 0).ch), char(model.at(196, 68).ch),
                           char(model.at(0, 69).ch)}),
              "tab");
}
