// That a read changes nothing on screen but its echo, keeps the cursor on its line and gives
// words without blanks or control bytes is checked by the line input fuzz target on any
// typing; here, what the reads give and what the echo shows.

#include "console/console.h"
#include "console/line_input.h"
#include "support/virtual_console.h"

#include <functional>
#include <gtest/gtest.h>

TEST(LineInput, EditsAndEchoesInTheCurrentColourUpToTheLinesEnd) {
    VirtualConsole console;
    writeAt({186, 69}, "Prompt: ab"); // on the last line, up to its last column but one
    moveCursor({194, 69});
    setColor(LightGreen);
    // Empty Enters, Backspace on nothing, Ctrl+A (no text), Backspace, Left (no text), then
    // more than the line can show.
    console.type("\r\r\x7fq9\x01\x7f\x1b[D1" + std::string(30, 'z') + "\r");
    EXPECT_EQ(readWord(), "q1" + std::string(30, 'z'));
    EXPECT_EQ(console.textAt({186, 69}, 11), "Prompt: q1z"); // the word stays, as typed
    EXPECT_EQ(console.colorAt({194, 69}), LightGreen);
    EXPECT_EQ(console.screen().cursor, (ScreenPos{196, 69}));
    // Escape takes back the line; a line of blanks leaves no trace.
    moveCursor({10, 7});
    console.type("xyz");
    console.pressEscape();
    console.type("  \rc4\r");
    EXPECT_EQ(readWord(), "c4");
    EXPECT_EQ(console.line(7), "          c4");
}

TEST(LineInput, TheRestOfALineAnswersLaterWordReadsButNotKeyReadsTillItIsDropped) {
    VirtualConsole console;
    console.typeLine("  a1\tb2 c3 z9"); // a Tab separates words like a blank
    console.type(std::string(keys::Down) + std::string(keys::Up) + std::string(keys::Up));
    console.typeAfterDrop("x\r" + std::string(MaxLineLength + 50, 'w') + " ignored\rd4\r");
    EXPECT_EQ(readWord(), "a1");
    EXPECT_EQ(readWord(), "b2");
    EXPECT_EQ(readWord(), "c3");
    EXPECT_EQ(readKey(), KeyDown);
    EXPECT_EQ(readKeyCode(), 224);
    EXPECT_EQ(readKey(), 72); // the arrow's second code, read as a key of its own
    EXPECT_EQ(readKeyCode(), 224);
    dropTypedAhead(); // the rest of the line, the second code and the keys typed so far
    EXPECT_EQ(readKey(), 'x');
    // The blank line is skipped; a line is cut at its limit without losing the next one.
    EXPECT_EQ(readWord().size(), MaxLineLength);
    EXPECT_EQ(readWord(), "d4");
}

TEST(NumberInput, ReadsLikeFormattedExtractionAndDropsTheRestOfTheLine) {
    VirtualConsole console;
    console.type("  12abc 7\r+5\r-3\rx9\r2147483648\r18446744073709551617\r-2147483648\r"
                 "\r0017\r"); // the last after an empty line
    const std::optional<std::int32_t> numbers[] = {12, 5, -3, {}, {}, {}, INT32_MIN, 17};
    for (const std::optional<std::int32_t>& number : numbers) {
        EXPECT_EQ(readNumber(), number);
    }
}

TEST(EndOfInput, EndsTheProgramCleanlyAfterTheLastWordEvenOneCutShort) {
    const std::function<void()> readsPastTheEnd[] = {[] { readWord(); }, [] { readKey(); }};
    for (const auto& readPastTheEnd : readsPastTheEnd) {
        EXPECT_EXIT(
            {
                VirtualConsole console;
                console.expectProgramEnd();
                console.type("a1");
                if (readWord() == "a1") {
                    readPastTheEnd();
                }
            },
            testing::ExitedWithCode(0), "");
    }
}
