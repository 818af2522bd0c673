#include "console/keys.h"

#include "console/cp1252.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

// Longer escape sequences are not keys; they are dropped unread.
constexpr std::size_t MaxSequence = 32;

// The sub-th of the numbers that colons separate within the index-th of those that semicolons
// separate; 0 where it is missing or beyond any code point.
long subParameter(const std::string& parameters, int index, int sub) {
    std::size_t at = 0;
    for (int i = 0; i < index; ++i) {
        at = parameters.find(';', at);
        if (at == std::string::npos) {
            return 0;
        }
        ++at;
    }
    for (int i = 0; i < sub; ++i) {
        at = parameters.find_first_of(":;", at);
        if (at == std::string::npos || parameters[at] == ';') {
            return 0;
        }
        ++at;
    }
    long value = 0;
    for (; at < parameters.size() && parameters[at] >= '0' && parameters[at] <= '9'; ++at) {
        value = value * 10 + (parameters[at] - '0');
        if (value > 0x10FFFF) {
            return 0;
        }
    }
    return value;
}

// The index-th of the numbers that semicolons separate in a sequence; 0 where it is missing,
// or too large to be a key's.
int parameter(const std::string& parameters, int index) {
    const long value = subParameter(parameters, index, 0);
    return value > 1000 ? 0 : static_cast<int>(value);
}

// A terminal tells the modifiers as a second number: 1 + 1 for Shift, + 2 for Alt, + 4 for
// Ctrl.
Modifier modifierOf(int number) {
    const int modifiers = number - 1;
    if (modifiers <= 0) {
        return Modifier::None;
    }
    return (modifiers & 2)   ? Modifier::Alt
           : (modifiers & 4) ? Modifier::Ctrl
           : (modifiers & 1) ? Modifier::Shift
                             : Modifier::None;
}

} // namespace

void KeyDecoder::feed(unsigned char byte) {
    switch (state_) {
    case State::Ground:
        ground(byte);
        return;
    case State::Escape:
        if (byte == '[') {
            state_ = State::Csi;
            sequence_.clear();
        } else if (byte == 'O') {
            state_ = State::Ss3;
        } else if (byte == 0x1B) {
            emit(keycode::Escape); // the second Escape may begin a sequence
        } else if (byte == ']' || byte == 'P' || byte == '_' || byte == '^') {
            // OSC, DCS, APC or PM: a terminal's report or reply, none of it a key.
            state_ = State::String;
            sequence_.assign(1, static_cast<char>(byte));
        } else {
            // Escape and a key in one burst is the key with Alt held, which the console
            // reports as the key alone.
            state_ = State::Ground;
            ground(byte);
        }
        return;
    case State::Csi:
        if (byte == 'M' && sequence_.empty()) {
            state_ = State::Mouse; // an X10 mouse report: three characters follow, none a key
            bytesMissing_ = 3;
            mouseLead_ = false;
        } else if (byte >= 0x40 && byte <= 0x7E) {
            state_ = State::Ground;
            finishCsi(byte);
        } else if (byte >= 0x20 && byte <= 0x3F) {
            if (sequence_.size() < MaxSequence) {
                sequence_.push_back(static_cast<char>(byte));
            }
        } else {
            // Not part of a sequence: the sequence is broken, the byte is a key of its own.
            state_ = State::Ground;
            ground(byte);
        }
        return;
    case State::Ss3:
        state_ = State::Ground;
        finishSs3(byte);
        return;
    case State::Mouse:
        mouseByte(byte);
        return;
    case State::String:
    case State::StringEscape:
        stringByte(byte);
        return;
    case State::Utf8:
        if ((byte & 0xC0) == 0x80) {
            sequence_.push_back(static_cast<char>(byte));
            if (--bytesMissing_ == 0) {
                state_ = State::Ground;
                char32_t codePoint =
                    static_cast<unsigned char>(sequence_[0]) & (sequence_.size() == 2   ? 0x1F
                                                                : sequence_.size() == 3 ? 0x0F
                                                                                        : 0x07);
                for (std::size_t i = 1; i < sequence_.size(); ++i) {
                    codePoint =
                        (codePoint << 6) | (static_cast<unsigned char>(sequence_[i]) & 0x3F);
                }
                // An overlong form is no character: it would smuggle in control keys such as
                // Enter or Escape.
                const bool overlong = (sequence_.size() == 3 && codePoint < 0x800) ||
                                      (sequence_.size() == 4 && codePoint < 0x10000);
                const int code = overlong ? -1 : cp1252::fromUnicode(codePoint);
                emit(code > 0 ? code : '?');
            }
        } else {
            state_ = State::Ground;
            emitUtf8Bytes();
            ground(byte);
        }
        return;
    }
}

void KeyDecoder::ground(unsigned char byte) {
    const bool afterCr = afterCarriageReturn_;
    afterCarriageReturn_ = false;
    if (byte == 0x1B) {
        state_ = State::Escape;
    } else if (byte == '\r') {
        afterCarriageReturn_ = true;
        emit(keycode::Enter);
    } else if (byte == '\n') {
        // Ctrl+J; in a pipe or a file, CR LF is one Enter.
        if (!lineFeedIsEnter_) {
            emit(10);
        } else if (!afterCr) {
            emit(keycode::Enter);
        }
    } else if (byte == 0x7F || byte == 0x08) {
        emit(keycode::Backspace);
    } else if (byte == 0x00) {
        // Ctrl+Space: no key of the program's, and a lone 0 would pose as a key prefix.
    } else if (byte >= 0x80 && charset_ != Charset::Utf8) {
        // A C1 control byte is no character; the others are the character set's own.
        const char32_t character = charset::fromByte(byte, charset_);
        const int code = cp1252::fromUnicode(character);
        if (character != 0) {
            emit(code > 0 ? code : '?');
        }
    } else if (byte >= 0xC2 && byte <= 0xF4) {
        state_ = State::Utf8;
        sequence_.assign(1, static_cast<char>(byte));
        bytesMissing_ = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
    } else {
        // ASCII, or a stray byte of a terminal that does not send UTF-8: taken as Windows-1252.
        emit(byte);
    }
}

void KeyDecoder::mouseByte(unsigned char byte) {
    // Mode 1005 sends a number past 95 as a two-byte UTF-8 character, X10 as one byte; a
    // byte that does not go on a character is a character of its own.
    if (mouseLead_) {
        mouseLead_ = false;
        const bool continues = (byte & 0xC0) == 0x80;
        if (bytesMissing_ == 0) {
            state_ = State::Ground;
            if (!continues) {
                ground(byte);
            }
            return;
        }
        if (continues) {
            return;
        }
    }
    mouseLead_ = byte >= 0xC2 && byte <= 0xDF;
    if (--bytesMissing_ == 0 && !mouseLead_) {
        state_ = State::Ground;
    }
}

void KeyDecoder::stringByte(unsigned char byte) {
    if (state_ == State::StringEscape) {
        if (byte == '\\') {
            state_ = State::Ground; // ST
            return;
        }
        // The string broke off; the Escape begins whatever comes next.
        state_ = State::Escape;
        feed(byte);
        return;
    }
    if (byte == 0x07) {
        state_ = State::Ground;
    } else if (byte == 0x1B) {
        state_ = State::StringEscape;
    } else if (byte < 0x20) {
        // No terminal puts such a byte in a report: it is a key, and the string has ended.
        state_ = State::Ground;
        ground(byte);
    } else if (sequence_.size() == 1) {
        sequence_.push_back(static_cast<char>(byte)); // begun: no longer Alt and a key
    }
}

void KeyDecoder::emitUtf8Bytes() {
    for (const char ch : sequence_) {
        emit(static_cast<unsigned char>(ch));
    }
    sequence_.clear();
}

namespace {

// The keys whose sequences end in a letter, the same after CSI and after SS3.
const TwoCodeKey* letterKey(unsigned char final) {
    switch (final) {
    case 'A':
        return &keycode::Up;
    case 'B':
        return &keycode::Down;
    case 'C':
        return &keycode::Right;
    case 'D':
        return &keycode::Left;
    case 'H':
        return &keycode::Home;
    case 'F':
        return &keycode::End;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
        return &keycode::FunctionKeys[static_cast<std::size_t>(final - 'P')];
    default:
        return nullptr;
    }
}

// The keys sent as CSI, a number and a tilde.
const TwoCodeKey* tildeKey(int number) {
    switch (number) {
    case 1:
    case 7:
        return &keycode::Home;
    case 2:
        return &keycode::Insert;
    case 3:
        return &keycode::Delete;
    case 4:
    case 8:
        return &keycode::End;
    case 5:
        return &keycode::PageUp;
    case 6:
        return &keycode::PageDown;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
        return &keycode::FunctionKeys[static_cast<std::size_t>(number - 11)]; // F1 to F5
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        return &keycode::FunctionKeys[static_cast<std::size_t>(number - 12)]; // F6 to F10
    case 23:
    case 24:
        return &keycode::FunctionKeys[static_cast<std::size_t>(number - 13)]; // F11, F12
    default:
        return nullptr;
    }
}

// The kitty keyboard protocol's codes for the keypad: its text keys, then its cursor and
// editing keys.
constexpr long KittyKeypad = 57399;
constexpr std::string_view KittyKeypadText = "0123456789./*-+\r=,";
constexpr const TwoCodeKey* KittyKeypadMoves[] = {
    &keycode::Left,     &keycode::Right, &keycode::Up,  &keycode::Down,   &keycode::PageUp,
    &keycode::PageDown, &keycode::Home,  &keycode::End, &keycode::Insert, &keycode::Delete};

long upperCase(long character) {
    const bool lower = (character >= 'a' && character <= 'z') ||
                       (character >= 0xE0 && character <= 0xFE && character != 0xF7);
    return lower ? character - 0x20 : character;
}

// A key as a terminal in the kitty keyboard protocol reports it,
// CSI code[:shifted][;modifiers[:event]][;text] u, as the Windows console reports that key:
// Ctrl makes a control code of a letter, Alt leaves a key as it is.
std::optional<KeyEvent> kittyKey(const std::string& parameters) {
    const long code = subParameter(parameters, 0, 0);
    const int modifierNumber = static_cast<int>(subParameter(parameters, 1, 0));
    const int modifiers = std::max(0, modifierNumber - 1);
    const bool shift = (modifiers & 1) != 0;
    const bool ctrl = (modifiers & 4) != 0;
    const bool capsLock = (modifiers & 64) != 0;
    const long text = static_cast<long>(KittyKeypadText.size());
    const long keypad = code - KittyKeypad;
    if (keypad >= 0 && keypad < text) {
        return KeyEvent{KittyKeypadText[static_cast<std::size_t>(keypad)]};
    }
    if (keypad >= text && keypad < text + static_cast<long>(std::size(KittyKeypadMoves))) {
        return KittyKeypadMoves[keypad - text]->with(modifierOf(modifierNumber));
    }
    switch (code) {
    case 13:
        return ctrl ? KeyEvent{10} : keycode::Enter;
    case 9:
        return KeyEvent{9};
    case 27:
        return keycode::Escape;
    case 127:
        return ctrl ? KeyEvent{127} : keycode::Backspace;
    default:
        break;
    }
    // The other codes below a space, and the private ones, are keys without a character:
    // F13 and beyond, media keys, a modifier key pressed alone.
    if (code < 0x20 || (code >= 0x7F && code < 0xA0) || (code >= 0xD800 && code < 0xF900)) {
        return std::nullopt;
    }
    if (ctrl && ((code >= '@' && code <= '_') || (code >= 'a' && code <= 'z'))) {
        const int control = static_cast<int>(code & 0x1F);
        // Ctrl+H is Backspace to the console; Ctrl+@ and Ctrl+Space are no key of the program's.
        return control == 0 ? std::nullopt : std::optional<KeyEvent>(KeyEvent{control});
    }
    // The text the key types where the terminal tells it, else the key's shifted form where
    // it tells that.
    long typed = subParameter(parameters, 2, 0);
    if (typed == 0 && shift) {
        typed = subParameter(parameters, 0, 1);
    }
    if (typed == 0) {
        typed = shift != capsLock ? upperCase(code) : code;
    }
    if (typed < 0x20 || (typed >= 0x7F && typed < 0xA0)) {
        return std::nullopt;
    }
    const int byte = cp1252::fromUnicode(static_cast<char32_t>(typed));
    return KeyEvent{byte > 0 ? byte : '?'};
}

// A report (its parameters begin with <, =, > or ?), or a key's release in the kitty
// keyboard protocol: no key.
bool isNoKeyPress(const std::string& parameters) {
    return (!parameters.empty() && parameters[0] >= 0x3C) || subParameter(parameters, 1, 1) == 3;
}

} // namespace

void KeyDecoder::finishCsi(unsigned char final) {
    // Anything else is a report or a key the program has no use for, and is dropped.
    if (isNoKeyPress(sequence_)) {
        return;
    }
    if (final == 'u') {
        if (const std::optional<KeyEvent> key = kittyKey(sequence_)) {
            emit(*key);
        }
        return;
    }
    const TwoCodeKey* key = final == '~' ? tildeKey(parameter(sequence_, 0)) : letterKey(final);
    if (key != nullptr) {
        emit(key->with(modifierOf(parameter(sequence_, 1))));
    }
}

void KeyDecoder::finishSs3(unsigned char final) {
    if (final == 'M') {
        emit(keycode::Enter); // keypad Enter in application mode
    } else if (const TwoCodeKey* key = letterKey(final)) {
        emit(key->plain);
    } else if ((final >= 'j' && final <= 'y') || final == 'X') {
        // The keypad in application mode, which a program may have left on: ESC O j to y are
        // * + , - . / and the digits, ESC O X is =.
        emit(final == 'X' ? '=' : final - 0x40);
    } else {
        // Alt+O, then another key.
        emit('O');
        ground(final);
    }
}

void KeyDecoder::expire() {
    switch (state_) {
    case State::Ground:
        return;
    case State::Escape:
        emit(keycode::Escape);
        break;
    case State::Csi:
    case State::Mouse:
        break; // an unfinished sequence is dropped
    case State::String:
        if (sequence_.size() == 1) {
            emit(static_cast<unsigned char>(sequence_[0])); // Alt+], Alt+P ...
        }
        break;
    case State::StringEscape:
        emit(keycode::Escape);
        break;
    case State::Ss3:
        emit('O'); // Alt+O
        break;
    case State::Utf8:
        emitUtf8Bytes();
        break;
    }
    state_ = State::Ground;
}

std::optional<KeyEvent> KeyDecoder::take() {
    if (ready_.empty()) {
        return std::nullopt;
    }
    const KeyEvent key = ready_.front();
    ready_.pop_front();
    return key;
}

void KeyDecoder::dropPending() {
    ready_.clear();
    sequence_.clear();
    mouseLead_ = false;
    state_ = State::Ground;
    afterCarriageReturn_ = false;
}

std::optional<KeyEvent> nextKeyEvent(KeyDecoder& decoder, ByteSource& source) {
    for (;;) {
        if (auto key = decoder.take()) {
            return key;
        }
        unsigned char byte = 0;
        switch (source.readByte(decoder.pending() ? EscapeWaitMs : -1, byte)) {
        case ByteRead::Byte:
            decoder.feed(byte);
            break;
        case ByteRead::Timeout:
            decoder.expire();
            break;
        case ByteRead::End:
            decoder.expire();
            return decoder.take();
        }
    }
}
