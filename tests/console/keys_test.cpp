#include "console/keys.h"

#include <deque>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

// Bytes with the quiet time before each, as a terminal would deliver them.
class TimedSource : public ByteSource {
  public:
    explicit TimedSource(std::vector<std::pair<int, unsigned char>> bytes)
        : bytes_(bytes.begin(), bytes.end()) {}
    ByteRead readByte(int waitMs, unsigned char& byte) override {
        if (bytes_.empty()) {
            return ByteRead::End;
        }
        auto& [delay, next] = bytes_.front();
        if (waitMs >= 0 && delay > waitMs) {
            delay -= waitMs;
            return ByteRead::Timeout;
        }
        byte = next;
        bytes_.pop_front();
        return ByteRead::Byte;
    }

  private:
    std::deque<std::pair<int, unsigned char>> bytes_;
};

std::vector<int> decodeAll(std::string_view bytes, KeyDecoder decoder = KeyDecoder()) {
    std::vector<std::pair<int, unsigned char>> timed;
    for (const char ch : bytes) {
        timed.emplace_back(0, static_cast<unsigned char>(ch));
    }
    TimedSource source(timed);
    std::vector<int> codes;
    while (const auto key = nextKeyEvent(decoder, source)) {
        codes.push_back(foldKey(*key));
    }
    return codes;
}

} // namespace

TEST(KeyDecoding, CursorEditingAndFunctionKeysKeepTheirWindowsCodes) {
    const std::pair<std::string_view, std::vector<int>> cases[] = {
        {"\x1b[A\x1b[B\x1b[D\x1b[C", {584, 592, 512 + 75, 512 + 77}},
        {"\x1bOA\x1bOB", {584, 592}}, // application cursor mode
        {"\x1b[H\x1b[1~\x1b[F\x1b[4~\x1b[5~\x1b[6~\x1b[2~\x1b[3~",
         {512 + 71, 512 + 71, 512 + 79, 512 + 79, 512 + 73, 512 + 81, 512 + 82, 512 + 83}},
        {"\x1bOP\x1b[15~\x1b[21~\x1b[23~\x1b[24~",
         {256 + 59, 256 + 63, 256 + 68, 512 + 133, 512 + 134}},
        // Shift leaves a cursor key as it is; Ctrl and Alt give other codes, Alt before Ctrl.
        {"\x1b[1;2B\x1b[1;5B\x1b[1;3B\x1b[1;7B", {592, 512 + 145, 256 + 160, 256 + 160}},
        {"\x1b[1;5A\x1b[1;3A\x1b[1;5D\x1b[1;3C\x1b[1;5H\x1b[1;3F",
         {512 + 141, 256 + 152, 512 + 115, 256 + 157, 512 + 119, 256 + 159}},
        {"\x1b[5;5~\x1b[6;5~\x1b[2;5~\x1b[3;5~\x1b[3;3~",
         {512 + 132, 512 + 118, 512 + 146, 512 + 147, 256 + 163}},
        {"\x1b[1;2P\x1b[15;5~\x1b[21;3~\x1b[23;2~\x1b[24;3~",
         {256 + 84, 256 + 98, 256 + 113, 512 + 135, 512 + 140}},
    };
    for (const auto& [bytes, codes] : cases) {
        EXPECT_EQ(decodeAll(bytes), codes) << testing::PrintToString(bytes);
    }
}

TEST(KeyDecoding, EnterBackspaceAndLineEnds) {
    // From a terminal a line feed is Ctrl+J; from a pipe it ends a line, CR LF as one Enter.
    EXPECT_EQ(decodeAll("\r\n"), (std::vector<int>{13, 10}));
    EXPECT_EQ(decodeAll("\r\n\r\n\n", KeyDecoder(Charset::Utf8, true)),
              (std::vector<int>{13, 13, 13}));
    EXPECT_EQ(decodeAll("\x7f\x08"
                        "a1"),
              (std::vector<int>{8, 8, 'a', '1'}));
}

TEST(KeyDecoding, EscapeAloneIsToldFromASequenceByTheWait) {
    {
        TimedSource source({{0, 0x1b}, {EscapeWaitMs - 1, '['}, {0, 'A'}});
        KeyDecoder decoder;
        EXPECT_EQ(foldKey(*nextKeyEvent(decoder, source)), 584);
    }
    {
        TimedSource source({{0, 0x1b}, {EscapeWaitMs + 1, '['}, {0, 'A'}});
        KeyDecoder decoder;
        EXPECT_EQ(foldKey(*nextKeyEvent(decoder, source)), 27);
        EXPECT_EQ(foldKey(*nextKeyEvent(decoder, source)), '[');
        EXPECT_EQ(foldKey(*nextKeyEvent(decoder, source)), 'A');
    }
    // Escape as the last byte of the input is a key, not a lost prefix.
    EXPECT_EQ(decodeAll("\x1b"), (std::vector<int>{27}));
    EXPECT_EQ(decodeAll("\x1b\x1b[B"), (std::vector<int>{27, 592}));
}

TEST(KeyDecoding, ReportsBrokenSequencesAndAltAreNoKeysOfTheirOwn) {
    EXPECT_EQ(decodeAll("\x1b[200~x"), (std::vector<int>{'x'}));
    EXPECT_EQ(decodeAll("\x1b[I\x1b[O"), (std::vector<int>{}));
    // An X10 mouse report: three bytes after CSI M, whatever they are.
    EXPECT_EQ(decodeAll("\x1b[M !!\x1b[M#\x7f\x1bz"), (std::vector<int>{'z'}));
    // A control byte inside a sequence breaks it and counts as itself.
    EXPECT_EQ(decodeAll("\x1b[1\r"), (std::vector<int>{13}));
    // An endless parameter list neither grows without bound nor swallows what follows it.
    EXPECT_EQ(decodeAll(std::string("\x1b[") + std::string(10000, '1') + "Bz"),
              (std::vector<int>{592, 'z'}));
    // Alt+key, Escape and a key in one burst, is the key alone, as the console gives it;
    // ESC O not followed by a key letter is Alt+O.
    EXPECT_EQ(decodeAll("\x1bx\x1b\r\x1bOx\x1bO"), (std::vector<int>{'x', 13, 'O', 'x', 'O'}));
}

TEST(KeyDecoding, TypedCharactersBecomeWindows1252CodesFromTheTerminalsCharacterSet) {
    EXPECT_EQ(decodeAll("\xc3\xa4\xc3\x9f\xe2\x82\xac"), (std::vector<int>{0xE4, 0xDF, 0x80}));
    // A character Windows-1252 lacks is typed as a question mark.
    EXPECT_EQ(decodeAll("\xf0\x9f\x9a\xa2"), (std::vector<int>{'?'}));
    // Latin-1 bytes from a terminal that does not speak UTF-8 still arrive as themselves.
    EXPECT_EQ(decodeAll("\xe4x"), (std::vector<int>{0xE4, 'x'}));
    EXPECT_EQ(decodeAll("\xc3"), (std::vector<int>{0xC3}));
    // A lone NUL would pose as the prefix of a two-code key.
    EXPECT_EQ(decodeAll(std::string("\0a", 2)), (std::vector<int>{'a'}));
    // Latin-1 and Latin-9 terminals: a byte is a character, a C1 control byte none.
    EXPECT_EQ(decodeAll("\xe4\xa4\x9b", KeyDecoder(Charset::Latin1)),
              (std::vector<int>{0xE4, 0xA4}));
    EXPECT_EQ(decodeAll("\xe4\xa4\xbd", KeyDecoder(Charset::Latin9)),
              (std::vector<int>{0xE4, 0x80, 0x9C}));
}

TEST(KeyDecoding, OverlongUtf8FormsAreNoControlKeys) {
    // Enter, Escape and Backspace in three-byte and four-byte disguise.
    EXPECT_EQ(decodeAll("\xe0\x80\x8d\xe0\x80\x9b\xe0\x80\x88\xf0\x80\x80\x8d"),
              (std::vector<int>{'?', '?', '?', '?'}));
    EXPECT_EQ(decodeAll("\xe0\x81\x81x"), (std::vector<int>{'?', 'x'}));
    // A proper three-byte form still is its character.
    EXPECT_EQ(decodeAll("\xe2\x80\x9e"), (std::vector<int>{0x84}));
}

TEST(KeyFolding, PrefixesZeroAnd224AddTheirOffsets) {
    EXPECT_EQ(foldKey({224, 72}), 584);
    EXPECT_EQ(foldKey({0, 72}), 328);
    EXPECT_EQ(foldKey({13, -1}), 13);
    EXPECT_EQ(foldKey({224, -1}), 224);
}
