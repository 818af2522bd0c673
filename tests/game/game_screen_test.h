#pragma once

// Drives the game's screens through the virtual console: typed input and random numbers are
// scripted up front, and checks run at the moments that matter, when the program starts to
// read a given input or pauses with a given message on screen.

#include "game/game_state.h"
#include "options/game_options.h"
#include "support/virtual_console.h"

#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

class GameScreenTest : public ::testing::Test {
  protected:
    using Checks = std::map<std::size_t, std::function<void()>>;
    // Colour for showsCells: the cell is blank, whatever its colour.
    static constexpr int Empty = -1;

    GameScreenTest() {
        console.onKeyWait = [this] {
            if (const auto input = inputAt_.find(typed_ - console.unreadInput());
                input != inputAt_.end()) {
                run(atInput, input->second);
            }
        };
        console.onPause = [this](int milliseconds) {
            pauseLength = milliseconds;
            std::string message = console.line(MessageLine);
            message.erase(0, MessageColumn);
            run(atMessage_, {message, ++messagesSeen_[message]});
            if (onPause) {
                onPause(milliseconds);
            }
        };
    }
    ~GameScreenTest() override {
        EXPECT_TRUE(atInput.empty() && atMessage_.empty()) << "check not run";
        gameOptions = GameOptions{};
        resetGame();
    }

    // Each text is one input, a typed line with its Enter.
    void typeLines(std::initializer_list<std::string_view> lines) {
        for (const std::string_view text : lines) {
            inputAt_.emplace(typed_, inputAt_.size());
            typed_ += text.size() + 1;
            console.typeLine(text);
        }
    }
    // A key typed once the end-of-game screen asks for it, after the screen has dropped
    // what was typed ahead.
    void pressKeyAtGameOver(std::string_view bytes) {
        inputAt_.emplace(++typed_, inputAt_.size()); // the drop's mark counts as read
        typed_ += bytes.size();
        console.typeAfterDrop(bytes);
    }
    // The random numbers that make the computer pick these cells, in order.
    void computerPicks(std::initializer_list<std::string_view> cells) {
        for (const std::string_view name : cells) {
            console.scriptRandom({name[0] - 'a', name[1] - '1'});
        }
    }
    // A check for the nth pause (from 1) with this text on the message line, from its column.
    void atMessage(std::string_view text, int nth, std::function<void()> check) {
        atMessage_[{std::string(text), nth}] = std::move(check);
    }
    void atMessage(std::string_view text, std::function<void()> check) {
        atMessage(text, 1, check);
    }
    // The 9 x 5 inside of each cell: all X in color, or all blank for Empty.
    ::testing::AssertionResult showsCells(std::initializer_list<std::string_view> cells,
                                          int color) const {
        for (const std::string_view cell : cells) {
            const ScreenPos centre = parseCoordinate(cell);
            for (int y = centre.y - 2; y <= centre.y + 2; ++y) {
                const ScreenPos from{centre.x - 4, y};
                if (color == Empty ? console.textAt(from, 9) != std::string(9, ' ')
                                   : !console.shows(from, "XXXXXXXXX", std::uint8_t(color))) {
                    return ::testing::AssertionFailure() << cell << " line " << y;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
    // The legend under its heading: per line an X in the marker's colour and the text in white.
    void expectLegend(std::initializer_list<std::pair<std::uint8_t, std::string_view>> lines) {
        EXPECT_TRUE(console.shows({10, LegendLine}, "Legende:", BrightWhite));
        int y = LegendLine;
        for (const auto& [sample, text] : lines) {
            ++y;
            EXPECT_TRUE(console.shows({10, y}, "X", sample)) << y;
            EXPECT_TRUE(console.shows({11, y}, text, BrightWhite)) << y;
        }
        EXPECT_EQ(console.line(y + 1), "");
    }

    VirtualConsole console;
    // Checks by number of the input (from 0) whose reading starts.
    Checks atInput;
    // Called in every pause after the message checks; the pause in progress is pauseLength long.
    std::function<void(int milliseconds)> onPause;
    int pauseLength = 0;

  private:
    template <class Key>
    static void run(std::map<Key, std::function<void()>>& checks, const Key& key) {
        // A check runs once; what is left at the end never ran.
        if (auto check = checks.extract(key)) {
            check.mapped()();
        }
    }

    // The number of each input by the count of bytes typed before it.
    std::map<std::size_t, std::size_t> inputAt_;
    std::size_t typed_ = 0;
    std::map<std::pair<std::string, int>, std::function<void()>> atMessage_;
    std::map<std::string, int> messagesSeen_;
};
