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
    // The bytes of one paint of the model's changes, as the Unix backend sends them.
    std::string paint() {
        encoder.output().clear();
        paintChanges(model, front, encoder);
        return encoder.output();
    }
};

} // namespace

TEST(Painting, SendsOnlyTheChangedCellsWithShortMovesAndNoRepeatedColours) {
    Painted t;
    t.model.color = BrightWhite;
    modelClear(t.model);
    t.write({12, 2}, "--", DarkGreen);
    EXPECT_EQ(t.paint(), "\x1b[97;40m\x1b[H\x1b[2J\x1b[3;13H\x1b[32;40m--\x1b[?25h");
    // Up to four unchanged cells in the run's colour are cheaper to rewrite than to skip.
    t.write({10, 1}, "ab", BrightWhite);
    t.write({14, 1}, "cd", BrightWhite);
    t.write({150, 1}, "ef", BrightWhite);
    t.write({10, 2}, "ab", BrightWhite);
    t.write({14, 2}, "cd", BrightWhite);
    modelMoveCursor(t.model, {0, 5});
    t.model.cursorVisible = false;
    EXPECT_EQ(t.paint(),
              "\x1b[2;11H\x1b[97;40mab  cd\x1b[134Cef\x1b[3;11Hab\x1b[2Ccd\x1b[6H\x1b[?25l");
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
