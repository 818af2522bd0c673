#pragma once

// Drives the game's screens through the virtual console: typed input and random numbers
// are scripted up front, and checks run at the moments that matter, when the program waits
// for a given input or sits in a given pause.

#include "console/virtual_console.h"
#include "game/game_state.h"
#include "options/game_options.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string_view>
#include <vector>

class GameScreenTest : public ::testing::Test {
  protected:
    GameScreenTest() {
        gameOptions = GameOptions{};
        resetGame();
        console.onKeyWait = [this] { runInputCheck(); };
        console.onPause = [this](int) { runCheck(pauseChecks_, pausesSeen_++); };
    }
    ~GameScreenTest() override {
        gameOptions = GameOptions{};
        resetGame();
    }

    void useBoard(int columns, int rows, bool cheatMode = false) {
        gameOptions.columns = columns;
        gameOptions.rows = rows;
        gameOptions.cheatMode = cheatMode;
    }
    // Each text is one input: a typed line, Enter included.
    void typeLines(std::initializer_list<std::string_view> lines) {
        for (const std::string_view text : lines) {
            startInput();
            console.typeLine(text);
            typed_ += text.size() + 1;
        }
    }
    void pressKey(std::string_view bytes) {
        startInput();
        console.type(bytes);
        typed_ += bytes.size();
    }
    // The random numbers that make the computer pick these cells, in order.
    void computerPicks(std::initializer_list<std::string_view> cells) {
        for (const std::string_view name : cells) {
            console.scriptRandom({(name[0] | 0x20) - 'a', name[1] - '1'});
        }
    }
    // Runs check when the program starts to wait for input number index (from 0).
    void atInput(std::size_t index, std::function<void()> check) {
        inputChecks_[index] = std::move(check);
    }
    // Runs check inside pause number index (from 0), with the screen as it stands then.
    void atPause(std::size_t index, std::function<void()> check) {
        pauseChecks_[index] = std::move(check);
    }
    bool allChecksRan() const { return inputChecks_.empty() && pauseChecks_.empty(); }

    bool showsMarker(std::string_view cell, std::uint8_t color) const {
        return showsBlock(parseCoordinate(cell), "XXXXXXXXX", color);
    }
    bool showsEmptyCell(std::string_view cell) const {
        const ScreenPos centre = parseCoordinate(cell);
        for (int d = -2; d <= 2; ++d) {
            if (console.textAt({centre.x - 4, centre.y + d}, 9) != "         ") {
                return false;
            }
        }
        return true;
    }
    bool showsBlock(ScreenPos centre, std::string_view row, std::uint8_t color) const {
        for (int d = -2; d <= 2; ++d) {
            if (!console.shows({centre.x - 4, centre.y + d}, row, color)) {
                return false;
            }
        }
        return true;
    }

    VirtualConsole console;

  private:
    using Checks = std::map<std::size_t, std::function<void()>>;
    void startInput() { inputStarts_.push_back(typed_); }
    void runInputCheck() {
        const std::size_t consumed = typed_ - console.unreadInput();
        for (std::size_t i = 0; i < inputStarts_.size(); ++i) {
            if (inputStarts_[i] == consumed) {
                runCheck(inputChecks_, i);
            }
        }
    }
    static void runCheck(Checks& checks, std::size_t index) {
        const auto found = checks.find(index);
        if (found != checks.end()) {
            const std::function<void()> check = std::move(found->second);
            checks.erase(found);
            check();
        }
    }

    std::vector<std::size_t> inputStarts_;
    std::size_t typed_ = 0;
    Checks inputChecks_;
    Checks pauseChecks_;
    std::size_t pausesSeen_ = 0;
};
