#include "console/keys.h"

#include "console/cp1252.h"

namespace {

// Longer escape sequences are not keys; they are dropped unread.
constexpr std::size_t MaxSequence = 32;

// The index-th of the numbers that semicolons separate in a sequence; 0 where it is missing.
int parameter(const std::string& parameters, int index) {
    std::size_t at = 0;
    for (int i = 0; i < index; ++i) {
        at = parameters.find(';', at);
        if (at == std::string::npos) {
            return 0;
        }
        ++at;
    }
    int value = 0;
    for (; at < parameters.size() && parameters[at] >= '0' && parameters[at] <= '9'; ++at) {
        value = value * 10 + (parameters[at] - '0');
        if (value > 1000) {
            return 0;
        }
    }
    return value;
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
        } else {
            // Escape and a key in one burst is the key with Alt held, which the console
            // reports as the key alone.
            state_ = State::Ground;
            ground(byte);
        }
        return;
    case State::Csi:
        if (byte == 'M' && sequence_.empty()) {
            state_ = State::Mouse; // an X10 mouse report: three bytes follow, none a key
            bytesMissing_ = 3;
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
        if (--bytesMissing_ == 0) {
            state_ = State::Ground;
        }
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

} // namespace

void KeyDecoder::finishCsi(unsigned char final) {
    // Anything else is a report or a key the program has no use for, and is dropped.
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
