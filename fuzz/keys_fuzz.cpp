// Any byte stream from a terminal or a pipe, in any of the character sets, with quiet moments
// anywhere, decodes into keys as the Windows console reports them, and never into more keys
// than bytes came in. Control keys (Enter, Escape, Backspace ...) come only from control
// bytes, never from a disguise such as an overlong UTF-8 form. Plain ASCII typing loses no
// key, whatever the timing; a line feed is Ctrl+J from a terminal and ends a line from a pipe.

#include "checked_console.h"
#include "console/keys.h"

#include <algorithm>

namespace {

void requireConsoleKey(const KeyEvent& key) {
    require(key.first >= 0 && key.first <= 255, "a first code beyond a byte");
    require(key.second == -1 ||
                ((key.first == 0 || key.first == 224) && key.second >= 0 && key.second <= 255),
            "a second code without its 0 or 224 prefix");
    require(!(key.first == 0 && key.second == -1), "a lone 0, which poses as a key prefix");
    const int folded = foldKey(key);
    require(folded >= 0 && folded < 768, "a folded code out of range");
}

bool isControl(char ch) {
    return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
}

// What plain ASCII typing (no escape, no eighth bit) must give, key by key.
std::string typedKeys(const std::string& bytes, bool lineFeedIsEnter) {
    std::string keys;
    char previous = 0;
    for (const char ch : bytes) {
        if (ch == '\n' && !lineFeedIsEnter) {
            keys.push_back(10);
        } else if (ch == '\r' || (ch == '\n' && previous != '\r')) {
            keys.push_back(13);
        } else if (ch == 0x7F || ch == 0x08) {
            keys.push_back(8);
        } else if (ch != '\n' && ch != 0) {
            keys.push_back(ch);
        }
        previous = ch;
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    // Choices of 1, which the older seeds end in, keep a pipe speaking UTF-8.
    const bool lineFeedIsEnter = input.choose(2) == 1;
    constexpr Charset Sets[] = {Charset::Latin9, Charset::Utf8, Charset::Latin1};
    KeyDecoder decoder(Sets[input.choose(3)], lineFeedIsEnter);
    std::string fed;
    std::string decoded;
    auto takeKeys = [&] {
        while (const std::optional<KeyEvent> key = decoder.take()) {
            requireConsoleKey(*key);
            decoded.push_back(static_cast<char>(key->first));
        }
        require(decoded.size() <= fed.size(), "more keys than bytes");
        require(std::count_if(decoded.begin(), decoded.end(), isControl) <=
                    std::count_if(fed.begin(), fed.end(), isControl),
                "a control key from bytes that were no control");
    };
    bool plainAscii = true;
    unsigned char byte = 0;
    while (input.takeByte(byte)) {
        decoder.feed(byte);
        fed.push_back(static_cast<char>(byte));
        plainAscii = plainAscii && byte < 0x80 && byte != 0x1B;
        // The terminal goes quiet after this byte: what waits counts as typed.
        if (decoder.pending() && input.choose(4) == 0) {
            decoder.expire();
            require(!decoder.pending(), "still waiting after the wait ran out");
        }
        takeKeys();
    }
    decoder.expire();
    takeKeys();
    require(!decoder.pending(), "still waiting at the end of input");
    require(!plainAscii || decoded == typedKeys(fed, lineFeedIsEnter),
            "plain typing came out changed");
    return 0;
}
