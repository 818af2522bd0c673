#pragma once

// What the fuzz targets share: a reader that splits a fuzz input into typed bytes and
// choices, and a console backend that takes its keys from the input and proves every paint:
// each one goes through the real painter and VT encoder into libvterm, which must then show
// the screen model. Any difference aborts with a description.

#include "console/backend.h"
#include "console/painter.h"
#include "console/vt_output.h"
#include "terminal_proof.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Bytes typed at the terminal come from the front of the input, choices (which operation,
// where, how long) from the back, so that a seed written as plain terminal bytes still reads
// as typing, and the fuzzer can change one without shifting the other.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), back_(size) {}

    bool empty() const { return front_ >= back_; }
    // The next byte from the front; false when none is left.
    bool takeByte(unsigned char& byte);
    // Up to maxCount bytes from the front.
    std::string takeBytes(std::size_t maxCount);
    // A number from 0 to count - 1 from the back; 0 once the input is used up.
    std::uint32_t choose(std::uint32_t count);
    // Four bytes from the back as one number; 0 once the input is used up.
    std::int32_t takeInt32();

  private:
    const std::uint8_t* data_;
    std::size_t front_ = 0;
    std::size_t back_;
};

// Thrown where the program would end because the input ran out, so that the target returns
// instead of leaving the process.
struct InputEnded {};

// Aborts with the message unless the condition holds; unlike assert it stays in release builds.
void require(bool condition, const std::string& message);

class CheckedConsole : public ConsoleBackend {
  public:
    // Installs itself as the console backend, with an empty screen model.
    explicit CheckedConsole(FuzzInput& input);
    ~CheckedConsole() override;

    void setup() override {}
    // Paints, then requires the emulated terminal to show the model exactly.
    void present(Screen& screen) override;
    // Keys typed at the front of the input; where an escape sequence may go on, a choice
    // decides whether the terminal goes quiet instead.
    std::optional<KeyEvent> readKeyEvent() override;
    void sleep(int) override {}
    [[noreturn]] void restore() override { throw InputEnded{}; }
    int random() override;

    // Something else drew on the terminal (a suspension, a resize): the next paint must
    // bring it back without knowing what it shows.
    void scramble();

  private:
    class Source : public ByteSource {
      public:
        explicit Source(FuzzInput& input) : input_(input) {}
        ByteRead readByte(int waitMs, unsigned char& byte) override;

      private:
        FuzzInput& input_;
    };

    FuzzInput& input_;
    Source source_{input_};
    KeyDecoder decoder_;
    PaintedScreen front_;
    VtEncoder encoder_;
    TerminalProof terminal_;
    // The model as it was when the terminal was last proven to show it.
    Screen proven_;
    bool provenKnown_ = false;
};
