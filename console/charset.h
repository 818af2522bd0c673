#pragma once

// The character sets a terminal may speak: UTF-8, or one byte per character as ISO-8859-1
// (Latin-1) or ISO-8859-15 (Latin-9), which differs from Latin-1 in eight places, the euro
// sign among them. The program's own texts stay Windows-1252 bytes; only what crosses the
// terminal's line is converted.

#include "console/cp1252.h"

#include <array>
#include <string>
#include <utility>

enum class Charset { Utf8, Latin1, Latin9 };

namespace charset {

inline constexpr std::array<std::pair<unsigned char, char32_t>, 8> Latin9Changes = {{
    {0xA4, 0x20AC},
    {0xA6, 0x0160},
    {0xA8, 0x0161},
    {0xB4, 0x017D},
    {0xB8, 0x017E},
    {0xBC, 0x0152},
    {0xBD, 0x0153},
    {0xBE, 0x0178},
}};

// The character of a byte of a one-byte character set; 0 for the C1 control bytes 0x80 to
// 0x9F, which stand for no character.
constexpr char32_t fromByte(unsigned char byte, Charset set) {
    if (byte >= 0x80 && byte < 0xA0) {
        return 0;
    }
    for (const auto& [changed, character] : Latin9Changes) {
        if (set == Charset::Latin9 && byte == changed) {
            return character;
        }
    }
    return byte;
}

// The byte of a character in a one-byte character set; -1 where it has none.
constexpr int toByte(char32_t character, Charset set) {
    for (const auto& [changed, replacement] : Latin9Changes) {
        if (set == Charset::Latin9 && (character == changed || character == replacement)) {
            return character == replacement ? changed : -1;
        }
    }
    return character < 0x80 || (character >= 0xA0 && character <= 0xFF)
               ? static_cast<int>(character)
               : -1;
}

// Appends a character as the terminal expects it; '?' for one its character set lacks.
inline void append(std::string& out, char32_t character, Charset set) {
    if (set == Charset::Utf8) {
        char utf8[4];
        out.append(utf8, static_cast<std::size_t>(cp1252::encodeUtf8(character, utf8)));
        return;
    }
    const int byte = toByte(character, set);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
}

} // namespace charset
