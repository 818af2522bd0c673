#include "console/console.h"
#include "console/line_input.h"
#include "console/virtual_console.h"

#include <gtest/gtest.h>

TEST(LineInput, EchoStaysOnItsLineClippedAtItsEndAndEmptyLinesLeaveNoTrace) {
    VirtualConsole console;
    writeAt({0, 68}, "above");
    writeAt({186, 69}, "Prompt: ab"); // on the last line, up to its last column but one
    moveCursor({194, 69});
    setColor(LightGreen);
    // Empty Enters, a key that is no text, editing, then more than the line can show.
    console.type(std::string("\r\r") + std::string(keys::Backspace) + "q9\x01");
    console.type(std::string(keys::Backspace) + std::string(keys::Left) + "1" +
                 std::string(30, 'z') + "\r");
    std::string echo; // the bottom line's end just before the Enter, and its colour
    std::uint8_t echoColor = 0;
    console.onKeyWait = [&] {
        echo = console.textAt({186, 69}, 11);
        echoColor = console.colorAt({194, 69});
        EXPECT_EQ(console.screen().cursor.y, 69);
    };
    EXPECT_EQ(readWord(), "q1" + std::string(30, 'z'));
    EXPECT_EQ(echo, "Prompt: q1z");
    EXPECT_EQ(echoColor, LightGreen);
    EXPECT_EQ(console.line(68), "above");
    EXPECT_EQ(console.textAt({186, 69}, 11), "Prompt: q1z"); // the word stays, as typed
    EXPECT_EQ(console.screen().cursor, (ScreenPos{196, 69}));

    console.onKeyWait = nullptr;
    moveCursor({10, 7});
    console.type("xyz");
    console.pressEscape();
    console.typeLine("  ");
    console.typeLine("c4");
    EXPECT_EQ(readWord(), "c4");
    EXPECT_EQ(console.line(7), "          c4");
}

TEST(LineInput, TheRestOfALineAnswersTheNextWordReadsButNotKeyReads) {
    VirtualConsole console;
    console.typeLine("  a1 \tb2"); // a Tab separates words like a blank
    console.type(keys::Down);
    console.typeLine("");
    console.typeLine("c3");
    EXPECT_EQ(readWord(), "a1");
    EXPECT_EQ(console.unreadInput(), 7u); // the later lines are not read yet
    EXPECT_EQ(readWord(), "b2");
    EXPECT_EQ(readKey(), KeyDown);
    // The blank line is skipped; the word read waits for a word.
    EXPECT_EQ(readWord(), "c3");
}

TEST(LineInput, ALineIsCutAtItsLimitWithoutLosingTheNext) {
    VirtualConsole console;
    console.typeLine(std::string(MaxLineLength + 50, 'w') + " ignored");
    console.typeLine("next");
    EXPECT_EQ(readWord().size(), MaxLineLength);
    EXPECT_EQ(readWord(), "next");
}

TEST(NumberInput, ReadsLikeFormattedExtractionAndDropsTheRestOfTheLine) {
    VirtualConsole console;
    console.typeLine("  12abc 7");
    console.typeLine("+5");
    console.typeLine("-3");
    console.typeLine("x9");
    console.typeLine("2147483648");
    console.typeLine("-2147483648");
    console.typeLine("");
    console.typeLine("0017");
    EXPECT_EQ(readNumber(), 12);
    EXPECT_EQ(readNumber(), 5);
    EXPECT_EQ(readNumber(), -3);
    EXPECT_EQ(readNumber(), std::nullopt);
    EXPECT_EQ(readNumber(), std::nullopt);
    EXPECT_EQ(readNumber(), -2147483648);
    EXPECT_EQ(readNumber(), 17);
}

TEST(SingleCodeRead, LeavesTheSecondCodeOfAnArrowForTheNextRead) {
    VirtualConsole console;
    console.type(keys::Up);
    console.type("x");
    EXPECT_EQ(readKeyCode(), 224);
    EXPECT_EQ(readKey(), 72); // read as a key of its own
    EXPECT_EQ(readKey(), 'x');
}

TEST(EndOfInput, EndsTheProgramCleanlyInsteadOfSpinningAfterTheLastWord) {
    EXPECT_EXIT(
        {
            VirtualConsole console;
            console.expectProgramEnd();
            console.type("a1");
            readWord();
            readWord();
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            VirtualConsole console;
            console.expectProgramEnd();
            readKey();
        },
        testing::ExitedWithCode(0), "");
    VirtualConsole console;
    console.type("b7"); // a word cut short by the end is still read
    EXPECT_EQ(readWord(), "b7");
}
