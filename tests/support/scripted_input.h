#pragma once

// Typing and random numbers written down ahead, for the consoles that drive the program's
// screens without a person: the tests' virtual console and the output budget's.

#include "console/keys.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

namespace keys {
// Bytes as a terminal sends them.
inline constexpr std::string_view Up = "\x1b[A";
inline constexpr std::string_view Down = "\x1b[B";
inline constexpr std::string_view Enter = "\r";
} // namespace keys

// Bytes as the terminal would send them, in order, with the moments the terminal goes quiet
// and the places where the program drops what was typed ahead; read as keys.
class ScriptedBytes : public ByteSource {
  public:
    void type(std::string_view bytes) {
        for (const char ch : bytes) {
            input_.push_back(static_cast<unsigned char>(ch));
        }
    }
    // Escape alone: the terminal stays quiet after it, so it is not taken for a sequence.
    void pressEscape() { input_.insert(input_.end(), {0x1B, Quiet}); }
    // Bytes typed once the program has dropped what was typed ahead.
    void typeAfterDrop(std::string_view bytes) {
        input_.push_back(DropMark);
        type(bytes);
    }
    // Takes away all typed before the first typeAfterDrop, or the whole script without one,
    // and the key begun.
    void drop() {
        const auto mark = std::find(input_.begin(), input_.end(), DropMark);
        input_.erase(input_.begin(), mark == input_.end() ? mark : mark + 1);
        decoder_.dropPending();
    }
    // The next key, or nothing once the script has run out.
    std::optional<KeyEvent> nextKey() { return nextKeyEvent(decoder_, *this); }
    std::size_t unread() const { return input_.size(); }

    ByteRead readByte(int waitMs, unsigned char& byte) override {
        // A quiet moment only counts while a key reader waits for the rest of a sequence.
        while (!input_.empty() && input_.front() < 0) {
            input_.pop_front();
            if (waitMs >= 0) {
                return ByteRead::Timeout;
            }
        }
        if (input_.empty()) {
            return ByteRead::End;
        }
        byte = static_cast<unsigned char>(input_.front());
        input_.pop_front();
        return ByteRead::Byte;
    }

  private:
    static constexpr int Quiet = -1;
    static constexpr int DropMark = -2;
    std::deque<int> input_;
    KeyDecoder decoder_;
};

// The numbers scripted, in order, then those of a small linear congruential generator: the
// same numbers in every run.
class ScriptedRandom {
  public:
    explicit ScriptedRandom(unsigned seed) : state_(seed) {}
    void script(const std::vector<int>& numbers) {
        numbers_.insert(numbers_.end(), numbers.begin(), numbers.end());
    }
    int next() {
        if (!numbers_.empty()) {
            const int number = numbers_.front();
            numbers_.pop_front();
            return number;
        }
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    std::deque<int> numbers_;
    unsigned state_;
};
