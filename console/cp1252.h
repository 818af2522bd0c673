#pragma once

// The program's texts are Windows-1252 byte strings, while the source files are UTF-8.
// The literal suffix _cp converts a UTF-8 literal into its Windows-1252 bytes at compile
// time, so "Hauptmenü"_cp is the nine bytes the console expects; a character that
// Windows-1252 lacks stops the build.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cp1252 {

// Unicode code points of the bytes 0x80 to 0x9F, where Windows-1252 differs from Latin-1.
// The five bytes Windows-1252 leaves undefined are 0 here.
inline constexpr std::array<char32_t, 32> HighControlBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character a byte stands for, or 0 where Windows-1252 defines none.
constexpr char32_t toUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return HighControlBlock[byte - 0x80];
    }
    return byte;
}

// The Windows-1252 byte of a character; -1 where there is none.
constexpr int fromUnicode(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (std::size_t i = 0; i < HighControlBlock.size(); ++i) {
        if (HighControlBlock[i] != 0 && HighControlBlock[i] == codePoint) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Appends the UTF-8 form of a code point to out; returns the number of bytes written (1-4).
constexpr int encodeUtf8(char32_t codePoint, char* out) {
    if (codePoint < 0x80) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (codePoint >> 18));
    out[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 4;
}

template <std::size_t N> struct Utf8Literal {
    char bytes[N]{};
    consteval Utf8Literal(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) {
            bytes[i] = text[i];
        }
    }
};

// The converted text; never longer than the UTF-8 literal it came from.
template <std::size_t N> struct Text {
    char bytes[N]{};
    std::size_t size = 0;
};

template <std::size_t N> consteval Text<N> convert(const Utf8Literal<N>& literal) {
    Text<N> text;
    std::size_t i = 0;
    while (i + 1 < N) {
        const auto lead = static_cast<unsigned char>(literal.bytes[i]);
        char32_t codePoint = 0;
        int length = 1;
        if (lead < 0x80) {
            codePoint = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            codePoint = lead & 0x1F;
            length = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            codePoint = lead & 0x0F;
            length = 3;
        } else {
            throw "malformed UTF-8 in a text literal";
        }
        for (int k = 1; k < length; ++k) {
            codePoint =
                (codePoint << 6) | (static_cast<unsigned char>(literal.bytes[i + k]) & 0x3F);
        }
        const int byte = fromUnicode(codePoint);
        if (byte < 0) {
            throw "character without a Windows-1252 byte in a text literal";
        }
        text.bytes[text.size++] = static_cast<char>(byte);
        i += static_cast<std::size_t>(length);
    }
    return text;
}

template <Utf8Literal L> inline constexpr auto converted = convert(L);

} // namespace cp1252

// "Hauptmenü"_cp: the Windows-1252 bytes of the literal, with static storage.
template <cp1252::Utf8Literal L> consteval std::string_view operator""_cp() {
    return {cp1252::converted<L>.bytes, cp1252::converted<L>.size};
}
