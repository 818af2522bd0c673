#pragma once

// A console for tests: keys and typed lines come from a script, pauses take no time but are
// recorded, random numbers can be scripted, and the screen model can be read at any time,
// also from inside a pause or a key wait.

#include "console/backend.h"
#include "console/console.h" // the primitives its tests drive

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace keys {
// Bytes as a terminal sends them.
inline constexpr std::string_view Up = "\x1b[A";
inline constexpr std::string_view Down = "\x1b[B";
inline constexpr std::string_view Right = "\x1b[C";
inline constexpr std::string_view Left = "\x1b[D";
inline constexpr std::string_view Enter = "\r";
inline constexpr std::string_view Backspace = "\x7f";
} // namespace keys

class VirtualConsole : public ConsoleBackend {
  public:
    // Installs itself as the console backend, with an empty screen model.
    VirtualConsole();
    ~VirtualConsole() override;

    // Script: bytes as the terminal would send them, in order.
    void type(std::string_view bytes);
    void typeLine(std::string_view text);
    // Escape alone: the terminal stays quiet after it, so it is not taken for a sequence.
    void pressEscape();
    // Bytes typed once the program has dropped what was typed ahead: all typed before them
    // is what the drop takes away. Without them, a drop takes the whole script.
    void typeAfterDrop(std::string_view bytes);
    // Numbers drawRandom hands out, in order; after them a fixed sequence follows.
    void scriptRandom(std::initializer_list<int> numbers);
    // The program may end (its input runs out, or it quits) only in a test that says so,
    // inside EXPECT_EXIT. Anywhere else the end aborts the test with a message, so that a
    // script that runs dry cannot skip the test's remaining checks and pass.
    void expectProgramEnd() { programEndExpected_ = true; }

    // Observation.
    const Screen& screen() const { return consoleScreen(); }
    // The characters from pos on, as bytes of the model.
    std::string textAt(ScreenPos pos, int length) const;
    // The whole line, trailing blanks removed.
    std::string line(int y) const;
    std::uint8_t colorAt(ScreenPos pos) const;
    // True when the model shows text at pos in colour.
    bool shows(ScreenPos pos, std::string_view text, std::uint8_t color) const;

    // Every pause in milliseconds, in order.
    std::vector<int> pauses;
    // Called inside each pause, before it is recorded, with the screen as it stands then.
    std::function<void(int milliseconds)> onPause;
    // Called before each key is taken from the script.
    std::function<void()> onKeyWait;
    int presentCount = 0;
    bool setupDone = false;
    // Bytes of the script not yet read.
    std::size_t unreadInput() const { return input_.size(); }

    void setup() override { setupDone = true; }
    void present(Screen& screen) override;
    std::optional<KeyEvent> readKeyEvent() override;
    void dropPendingKeys() override;
    void sleep(int milliseconds) override;
    // The program hands the console back only as it ends.
    void restore() override;
    int random() override;

  private:
    class ScriptSource : public ByteSource {
      public:
        explicit ScriptSource(std::deque<int>& input) : input_(input) {}
        ByteRead readByte(int waitMs, unsigned char& byte) override;

      private:
        std::deque<int>& input_;
    };

    // Bytes, -1 where the terminal goes quiet, and DropMark where the program drops what was
    // typed ahead.
    static constexpr int DropMark = -2;
    std::deque<int> input_;
    ScriptSource source_{input_};
    KeyDecoder decoder_;
    std::deque<int> randomNumbers_;
    bool programEndExpected_ = false;
    unsigned randomState_ = 12345;
};
