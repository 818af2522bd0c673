#pragma once

// A console for tests: keys and typed lines come from a script, pauses take no time but are
// recorded, random numbers can be scripted, and the screen model can be read at any time,
// also from inside a pause or a key wait.

#include "console/backend.h"
#include "console/console.h" // the primitives its tests drive
#include "support/scripted_input.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class VirtualConsole : public ConsoleBackend {
  public:
    // Installs itself as the console backend, with an empty screen model.
    VirtualConsole() { installConsoleBackend(this); }
    ~VirtualConsole() override { installConsoleBackend(nullptr); }

    // Script: bytes as the terminal would send them, in order.
    void type(std::string_view bytes) { input_.type(bytes); }
    void typeLine(std::string_view text) { type(text), type(keys::Enter); }
    // Escape alone: the terminal stays quiet after it, so it is not taken for a sequence.
    void pressEscape() { input_.pressEscape(); }
    // Bytes typed once the program has dropped what was typed ahead: all typed before them
    // is what the drop takes away. Without them, a drop takes the whole script.
    void typeAfterDrop(std::string_view bytes) { input_.typeAfterDrop(bytes); }
    // Numbers drawRandom hands out, in order; after them a fixed sequence follows.
    void scriptRandom(std::initializer_list<int> numbers) { random_.script(numbers); }
    // The program may end (its input runs out, or it quits) only in a test that says so,
    // inside EXPECT_EXIT. Anywhere else the end aborts the test with a message, so that a
    // script that runs dry cannot skip the test's remaining checks and pass.
    void expectProgramEnd() { programEndExpected_ = true; }

    const Screen& screen() const { return consoleScreen(); }
    // The characters from pos on, as bytes of the model.
    std::string textAt(ScreenPos pos, int length) const {
        std::string text;
        for (int x = pos.x; x < pos.x + length && isOnScreen({x, pos.y}); ++x) {
            text.push_back(static_cast<char>(screen().at(x, pos.y).ch));
        }
        return text;
    }
    // The whole line, trailing blanks removed.
    std::string line(int y) const {
        std::string text = textAt({0, y}, ConsoleWidth);
        return text.erase(text.find_last_not_of(' ') + 1);
    }
    std::uint8_t colorAt(ScreenPos pos) const { return screen().at(pos.x, pos.y).color; }
    // True when the model shows text at pos in colour.
    bool shows(ScreenPos pos, std::string_view text, std::uint8_t color) const {
        bool same = textAt(pos, static_cast<int>(text.size())) == text;
        for (int i = 0; same && i < static_cast<int>(text.size()); ++i) {
            same = colorAt({pos.x + i, pos.y}) == color;
        }
        return same;
    }

    // Every pause in milliseconds, in order.
    std::vector<int> pauses;
    // Called inside each pause, before it is recorded, with the screen as it stands then.
    std::function<void(int milliseconds)> onPause;
    // Called before each key is taken from the script.
    std::function<void()> onKeyWait;
    bool setupDone = false;
    // Bytes of the script not yet read.
    std::size_t unreadInput() const { return input_.unread(); }

    void setup() override { setupDone = true; }
    void present(Screen& screen) override {
        screen.dirtyLines.reset(), screen.clearPending = false;
    }
    std::optional<KeyEvent> readKeyEvent() override {
        if (onKeyWait) {
            onKeyWait();
        }
        return input_.nextKey();
    }
    void dropPendingKeys() override { input_.drop(); }
    void sleep(int milliseconds) override {
        if (onPause) {
            onPause(milliseconds);
        }
        pauses.push_back(milliseconds);
    }
    // The program hands the console back only as it ends.
    void restore() override {
        if (!programEndExpected_) {
            std::fputs("The program ended in the middle of a test: script more input, or "
                       "expect the end with expectProgramEnd() inside EXPECT_EXIT.\n",
                       stderr);
            std::abort();
        }
    }
    int random() override { return random_.next(); }

  private:
    ScriptedBytes input_;
    ScriptedRandom random_{12345};
    bool programEndExpected_ = false;
};
