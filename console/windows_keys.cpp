#include "console/cp1252.h"
#include "console/windows_console.h"

namespace {

// The second codes of the keys that _getch reports as two codes: plain, with Shift, with Ctrl,
// with Alt.
struct TwoCodeKey {
    WORD virtualKey;
    bool editingKey; // an arrow or editing key: grey (224 first) or the keypad's (0 first)
    std::array<int, 4> second;
};
constexpr TwoCodeKey TwoCodeKeys[] = {
    {VK_HOME, true, {71, 71, 119, 151}},   {VK_UP, true, {72, 72, 141, 152}},
    {VK_PRIOR, true, {73, 73, 132, 153}},  {VK_LEFT, true, {75, 75, 115, 155}},
    {VK_RIGHT, true, {77, 77, 116, 157}},  {VK_END, true, {79, 79, 117, 159}},
    {VK_DOWN, true, {80, 80, 145, 154}},   {VK_NEXT, true, {81, 81, 118, 161}},
    {VK_INSERT, true, {82, 82, 146, 162}}, {VK_DELETE, true, {83, 83, 147, 163}},
    {VK_F11, false, {133, 135, 137, 139}}, {VK_F12, false, {134, 136, 138, 140}},
};

std::optional<KeyEvent> twoCodeKey(const KEY_EVENT_RECORD& key, bool greyKeysMarked) {
    const DWORD state = key.dwControlKeyState;
    const int modifier = (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))     ? 3
                         : (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) ? 2
                         : (state & SHIFT_PRESSED)                            ? 1
                                                                              : 0;
    if (key.wVirtualKeyCode >= VK_F1 && key.wVirtualKeyCode <= VK_F10) {
        constexpr int firstOf[] = {59, 84, 94, 104};
        return KeyEvent{0, firstOf[modifier] + (key.wVirtualKeyCode - VK_F1)};
    }
    for (const TwoCodeKey& entry : TwoCodeKeys) {
        if (entry.virtualKey != key.wVirtualKeyCode) {
            continue;
        }
        const bool grey = !entry.editingKey || (state & ENHANCED_KEY) || !greyKeysMarked;
        if (!grey && modifier == 3) {
            return std::nullopt; // Alt and the keypad type a character by its number
        }
        return KeyEvent{grey ? 224 : 0, entry.second[static_cast<std::size_t>(modifier)]};
    }
    return std::nullopt;
}

} // namespace

std::optional<KeyEvent> keyFromRecord(const INPUT_RECORD& record, bool greyKeysMarked) {
    if (record.EventType != KEY_EVENT) {
        return std::nullopt;
    }
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    const wchar_t ch = key.uChar.UnicodeChar;
    // A character typed by its number on the keypad comes with the release of Alt.
    if (!key.bKeyDown && !(key.wVirtualKeyCode == VK_MENU && ch != 0)) {
        return std::nullopt;
    }
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        return std::nullopt; // the second half of a character beyond 16 bits: one '?' is enough
    }
    if (ch != 0) {
        const int byte = cp1252::fromUnicode(ch);
        return KeyEvent{byte >= 0 ? byte : '?', -1};
    }
    if (key.wVirtualKeyCode == VK_ESCAPE) {
        return KeyEvent{27, -1}; // wine's console reports a lone Escape without its character
    }
    return twoCodeKey(key, greyKeysMarked);
}
