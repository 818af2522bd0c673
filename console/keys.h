#pragma once

// Turning what a terminal sends into keys as the Windows console reports them: a plain key
// is one code, an arrow, editing or function key is two codes (0 or 224, then a second one).

#include "console/charset.h"
#include "console/key_codes.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// How long the decoder waits for the rest of an escape sequence before it takes the Escape
// for a key of its own. Long enough for a sequence split over two reads on a slow link,
// short enough that Escape feels immediate.
inline constexpr int EscapeWaitMs = 30;

// A byte-by-byte decoder: feed it what the terminal sends; when the terminal has been quiet
// for EscapeWaitMs while pending() is true, call expire().
class KeyDecoder {
  public:
    // A terminal in raw mode sends a line feed only for Ctrl+J; a pipe or a file ends its
    // lines with one, and there it is Enter.
    explicit KeyDecoder(Charset charset = Charset::Utf8, bool lineFeedIsEnter = false)
        : charset_(charset), lineFeedIsEnter_(lineFeedIsEnter) {}
    void feed(unsigned char byte);
    // The rest of a sequence did not come: what was started counts as typed.
    void expire();
    // True while a started escape sequence or UTF-8 character waits for more bytes.
    bool pending() const { return state_ != State::Ground; }
    std::optional<KeyEvent> take();
    // Forgets the keys not taken yet and any sequence begun.
    void dropPending();

  private:
    // Mouse: the three characters of an X10 mouse report still to come. String: a report
    // that runs up to BEL or ST (ESC \); StringEscape: an ESC within it.
    enum class State { Ground, Escape, Csi, Ss3, Utf8, Mouse, String, StringEscape };
    void ground(unsigned char byte);
    void finishCsi(unsigned char final);
    void finishSs3(unsigned char final);
    void mouseByte(unsigned char byte);
    void stringByte(unsigned char byte);
    void emit(int code) { ready_.push_back({code, -1}); }
    void emit(KeyEvent key) { ready_.push_back(key); }
    void emitUtf8Bytes();

    Charset charset_;
    bool lineFeedIsEnter_;
    State state_ = State::Ground;
    bool afterCarriageReturn_ = false;
    std::string sequence_;
    // Bytes still to come of a UTF-8 character, characters still to come of a mouse report.
    int bytesMissing_ = 0;
    // The mouse report's last byte may have begun a two-byte character.
    bool mouseLead_ = false;
    std::deque<KeyEvent> ready_;
};

enum class ByteRead { Byte, Timeout, End };

// Where a key reader gets its bytes: a terminal, a pipe, or a test script.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Waits up to waitMs for a byte (for ever when waitMs is negative).
    virtual ByteRead readByte(int waitMs, unsigned char& byte) = 0;
};

// The next key from the source, or nothing once the input has ended.
std::optional<KeyEvent> nextKeyEvent(KeyDecoder& decoder, ByteSource& source);
