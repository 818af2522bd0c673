#include "console/console.h"
#include "console/line_input.h"
#include "console/virtual_console.h"

#include <gtest/gtest.h>

TEST(LineInput, EchoesInTheCurrentColourAndEditsWithBackspaceAndEscape) {
    VirtualConsole console;
    setColor(LightGreen);
    writeAt({10, 3}, "Prompt: ");
    console.type(std::string(keys::Backspace) + "a9\x01"); // nothing before the line is erased
    console.type(std::string(keys::Backspace) + std::string(keys::Left) + "1\r");
    EXPECT_EQ(readWord(), "a1");
    EXPECT_TRUE(console.shows({10, 3}, "Prompt: a1", LightGreen));
    EXPECT_EQ(console.line(3).size(), 20u);
    // Enter takes the cursor to the start of the next line, as the console's echo does.
    EXPECT_EQ(console.screen().cursor, (ScreenPos{0, 4}));

    moveCursor({10, 7});
    console.type("xyz");
    console.pressEscape();
    console.typeLine("c4");
    EXPECT_EQ(readWord(), "c4");
    EXPECT_EQ(console.line(7), std::string(10, ' ') + "c4");
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

TEST(LineInput, OverlongWordsWrapOnScreenAndALineIsCutAtItsLimitWithoutLosingTheNext) {
    VirtualConsole console;
    moveCursor({190, 10});
    const std::string word(30, 'z');
    console.typeLine(word);
    console.typeLine(std::string(MaxLineLength + 50, 'w') + " ignored");
    console.typeLine("next");
    EXPECT_EQ(readWord(), word);
    EXPECT_EQ(console.textAt({190, 10}, 7), std::string(7, 'z'));
    EXPECT_EQ(console.line(11), std::string(23, 'z'));
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
