#pragma once

// The keys as the Windows console's unbuffered character read (_getch) reports them: a plain
// key is one code, an arrow, editing or function key two (0 or 224, then a second one), and
// Shift, Ctrl and Alt change the codes. The terminal's key decoder and the console records'
// both take their codes from here, so that a key reads the same on both.

#include <array>

struct KeyEvent {
    int first = 0;
    // The second code of a two-code key, or -1.
    int second = -1;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// The code readKey makes of a key: 256 + second after 0, 512 + second after 224.
constexpr int foldKey(const KeyEvent& key) {
    if (key.second >= 0 && key.first == 0) {
        return 256 + key.second;
    }
    if (key.second >= 0 && key.first == 224) {
        return 512 + key.second;
    }
    return key.first;
}

// Where several are held, the console reports Alt before Ctrl before Shift.
enum class Modifier { None, Shift, Ctrl, Alt };

// The codes of a two-code key, plain and with each modifier, as the C runtime's own table
// gives them.
struct TwoCodeKey {
    KeyEvent plain, shift, ctrl, alt;

    constexpr KeyEvent with(Modifier modifier) const {
        switch (modifier) {
        case Modifier::Shift:
            return shift;
        case Modifier::Ctrl:
            return ctrl;
        case Modifier::Alt:
            return alt;
        case Modifier::None:
            break;
        }
        return plain;
    }
};

namespace keycode {

inline constexpr KeyEvent CtrlC{3};
inline constexpr KeyEvent Backspace{8};
inline constexpr KeyEvent Enter{13};
inline constexpr KeyEvent Escape{27};

// The grey cursor and editing keys. Shift leaves them as they are.
inline constexpr TwoCodeKey Home{{224, 71}, {224, 71}, {224, 119}, {0, 151}};
inline constexpr TwoCodeKey Up{{224, 72}, {224, 72}, {224, 141}, {0, 152}};
inline constexpr TwoCodeKey PageUp{{224, 73}, {224, 73}, {224, 132}, {0, 153}};
inline constexpr TwoCodeKey Left{{224, 75}, {224, 75}, {224, 115}, {0, 155}};
inline constexpr TwoCodeKey Right{{224, 77}, {224, 77}, {224, 116}, {0, 157}};
inline constexpr TwoCodeKey End{{224, 79}, {224, 79}, {224, 117}, {0, 159}};
inline constexpr TwoCodeKey Down{{224, 80}, {224, 80}, {224, 145}, {0, 160}};
inline constexpr TwoCodeKey PageDown{{224, 81}, {224, 81}, {224, 118}, {0, 161}};
inline constexpr TwoCodeKey Insert{{224, 82}, {224, 82}, {224, 146}, {0, 162}};
inline constexpr TwoCodeKey Delete{{224, 83}, {224, 83}, {224, 147}, {0, 163}};

// F1 to F12, in order.
inline constexpr std::array<TwoCodeKey, 12> FunctionKeys{{
    {{0, 59}, {0, 84}, {0, 94}, {0, 104}},
    {{0, 60}, {0, 85}, {0, 95}, {0, 105}},
    {{0, 61}, {0, 86}, {0, 96}, {0, 106}},
    {{0, 62}, {0, 87}, {0, 97}, {0, 107}},
    {{0, 63}, {0, 88}, {0, 98}, {0, 108}},
    {{0, 64}, {0, 89}, {0, 99}, {0, 109}},
    {{0, 65}, {0, 90}, {0, 100}, {0, 110}},
    {{0, 66}, {0, 91}, {0, 101}, {0, 111}},
    {{0, 67}, {0, 92}, {0, 102}, {0, 112}},
    {{0, 68}, {0, 93}, {0, 103}, {0, 113}},
    {{224, 133}, {224, 135}, {224, 137}, {224, 139}},
    {{224, 134}, {224, 136}, {224, 138}, {224, 140}},
}};

} // namespace keycode
