// The decoder's promises that hold for any input (no control key from anything but a control
// byte, no lost plain typing, no lone prefix code) are checked by the keys fuzz target on its
// corpus; here, the codes each key gets.

#include "console/keys.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A terminal's bytes, all at once but for a quiet time after the first.
struct QuietSource : ByteSource {
    QuietSource(std::string_view bytes, int quietMs) : bytes(bytes), quietMs(quietMs) {}
    ByteRead readByte(int waitMs, unsigned char& byte) override {
        if (next == 1 && waitMs >= 0 && quietMs > waitMs) {
            return ByteRead::Timeout;
        }
        if (next == bytes.size()) {
            return ByteRead::End;
        }
        byte = static_cast<unsigned char>(bytes[next++]);
        return ByteRead::Byte;
    }

    std::string_view bytes;
    int quietMs;
    std::size_t next = 0;
};

std::vector<int> decode(std::string_view bytes, KeyDecoder decoder = KeyDecoder(),
                        int quietMs = 0) {
    QuietSource source(bytes, quietMs);
    std::vector<int> codes;
    while (const std::optional<KeyEvent> key = nextKeyEvent(decoder, source)) {
        codes.push_back(foldKey(*key));
    }
    return codes;
}

} // namespace

TEST(KeyDecoding, TerminalSequencesAndCharactersBecomeTheWindowsConsolesCodes) {
    constexpr int Ext = 512; // after 224
    constexpr int Fn = 256;  // after 0
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"\x1b[A\x1b[B\x1b[D\x1b[C\x1bOA\x1bOB",
         {Ext + 72, Ext + 80, Ext + 75, Ext + 77, Ext + 72, Ext + 80}},
        {"\x1b[H\x1b[1~\x1b[F\x1b[4~\x1b[5~\x1b[6~\x1b[2~\x1b[3~",
         {Ext + 71, Ext + 71, Ext + 79, Ext + 79, Ext + 73, Ext + 81, Ext + 82, Ext + 83}},
        {"\x1bOP\x1b[15~\x1b[19~\x1b[21~\x1b[23~\x1b[24~",
         {Fn + 59, Fn + 63, Fn + 66, Fn + 68, Ext + 133, Ext + 134}},
        // Shift leaves a cursor key as it is; Ctrl and Alt give other codes, Alt before Ctrl.
        {"\x1b[1;2B\x1b[1;5B\x1b[1;3B\x1b[1;7B", {Ext + 80, Ext + 145, Fn + 160, Fn + 160}},
        {"\x1b[1;5A\x1b[1;3A\x1b[1;5D\x1b[1;3C\x1b[1;5H\x1b[1;3F",
         {Ext + 141, Fn + 152, Ext + 115, Fn + 157, Ext + 119, Fn + 159}},
        {"\x1b[5;5~\x1b[6;5~\x1b[2;5~\x1b[3;5~\x1b[3;3~",
         {Ext + 132, Ext + 118, Ext + 146, Ext + 147, Fn + 163}},
        {"\x1b[1;2P\x1b[15;5~\x1b[21;3~\x1b[23;2~\x1b[24;3~",
         {Fn + 84, Fn + 98, Fn + 113, Ext + 135, Ext + 140}},
        // From a terminal a line feed is Ctrl+J; the keypad's Enter is Enter.
        {"\r\n\x7f\x08\x1bOM", {13, 10, 8, 8, 13}},
        // Reports, focus events and mouse reports (three characters after CSI M, in mode 1005
        // UTF-8 ones past column 95) are no keys; nor are OSC, DCS, APC and PM strings up to
        // BEL or ST, where a control byte ends the string and counts as itself.
        {"\x1b[200~x\x1b[I\x1b[O\x1b[?1;2c\x1b[M !!\x1b[M#\x7f\x1bz\x1b[M \xc3\x8a!"
         "\x1b[M \xca!z\x1b[M !\xc3\x8az\x1b[M !\xcaz",
         {'x', 'z', 'z', 'z', 'z'}},
        {"\x1b]11;rgb:0000/0000/0000\x1b\\a\x1bP1$r0m\x1b\\b\x1b_G;OK\x07"
         "c\x1b^x\x1b[Ad\x1b]2;\xc3\xa4\rx\x1b]0;x\x1b\\",
         {'a', 'b', 'c', Ext + 72, 'd', 13, 'x'}},
        // The kitty keyboard protocol that a program may have left on: Escape, Enter, Tab,
        // Backspace and characters as the console reports them; no key from a release, a
        // modifier key alone or the protocol's reply.
        {"\x1b[27u\x1b[13u\x1b[13;5u\x1b[9;2u\x1b[127u\x1b[127;5u\x1b[99;5u\x1b[99;6u\x1b[97;3u",
         {27, 13, 10, 9, 8, 127, 3, 3, 'a'}},
        {"\x1b[97;2u\x1b[49:33;2u\x1b[97;65u\x1b[228;2u\x1b[97;;65u\x1b[8364u\x1b[128674u",
         {'A', '!', 'A', 0xC4, 'A', 0x80, '?'}},
        {"\x1b[97;1:3u\x1b[1;1:3A\x1b[57441;2u\x1b[?1u\x1b[57401u\x1b[57414u\x1b[57417;5u",
         {'2', 13, Ext + 115}},
        // A control byte breaks a sequence and counts as itself; an endless parameter list
        // swallows nothing after it.
        {"\x1b[1\rz\x1b[" + std::string(10000, '1') + "Bz", {13, 'z', Ext + 80, 'z'}},
        // Alt+key is the key alone, as the console gives it; ESC O and no key letter is Alt+O.
        // Escape as the last byte of the input is a key, not a lost prefix. The keypad in
        // application mode sends ESC O and a letter for each of its keys.
        {"\x1bx\x1b\r\x1bOz\x1b\x1b[B\x1bO\x1b\x1bOu\x1bOj\x1bOX",
         {'x', 13, 'O', 'z', 27, Ext + 80, 'O', 27, '5', '*', '='}},
        // UTF-8 as Windows-1252, '?' for what it lacks; a stray byte taken as itself.
        {"\xc3\xa4\xc3\x9f\xe2\x82\xac\xf0\x9f\x9a\xa2\xe4x\xc3",
         {0xE4, 0xDF, 0x80, '?', 0xE4, 'x', 0xC3}},
    };
    for (const auto& [bytes, codes] : cases) {
        EXPECT_EQ(decode(bytes), codes) << testing::PrintToString(bytes);
    }
    // A pipe ends its lines with a line feed, CR LF as one Enter.
    EXPECT_EQ(decode("\r\n\r\n\n", KeyDecoder(Charset::Utf8, true)),
              (std::vector<int>{13, 13, 13}));
    // Latin-1 and Latin-9 terminals: a byte is a character, a C1 control byte none.
    EXPECT_EQ(decode("\xe0\xa4\x9b", KeyDecoder(Charset::Latin1)), (std::vector<int>{0xE0, 0xA4}));
    EXPECT_EQ(decode("\xa4\xbd", KeyDecoder(Charset::Latin9)), (std::vector<int>{0x80, 0x9C}));
}

TEST(KeyDecoding, EscapeAloneIsToldFromASequenceByTheWait) {
    EXPECT_EQ(decode("\x1b[A", KeyDecoder(), EscapeWaitMs), (std::vector<int>{512 + 72}));
    EXPECT_EQ(decode("\x1b[A", KeyDecoder(), EscapeWaitMs + 1), (std::vector<int>{27, '[', 'A'}));
}

TEST(KeyDecoding, DroppingForgetsTheKeysNotTakenAndTheSequenceBegun) {
    KeyDecoder decoder;
    for (const char ch : std::string_view("\x1bOx\x1b[")) { // Alt+O and x, then CSI
        decoder.feed(static_cast<unsigned char>(ch));
    }
    decoder.dropPending();
    decoder.feed('A');
    EXPECT_EQ(decoder.take(), (KeyEvent{'A', -1}));
    EXPECT_EQ(decoder.take(), std::nullopt);
}
