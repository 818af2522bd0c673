#include "console/cp1252.h"
#include "console/windows_console.h"

namespace {

// The grey arrow and editing keys; the keypad's, with Num Lock off, have the same virtual keys.
struct EditingKey {
    WORD virtualKey;
    const TwoCodeKey* codes;
};
constexpr EditingKey EditingKeys[] = {
    {VK_HOME, &keycode::Home},     {VK_UP, &keycode::Up},         {VK_PRIOR, &keycode::PageUp},
    {VK_LEFT, &keycode::Left},     {VK_RIGHT, &keycode::Right},   {VK_END, &keycode::End},
    {VK_DOWN, &keycode::Down},     {VK_NEXT, &keycode::PageDown}, {VK_INSERT, &keycode::Insert},
    {VK_DELETE, &keycode::Delete},
};

Modifier modifierOf(DWORD state) {
    return (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))     ? Modifier::Alt
           : (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) ? Modifier::Ctrl
           : (state & SHIFT_PRESSED)                            ? Modifier::Shift
                                                                : Modifier::None;
}

std::optional<KeyEvent> twoCodeKey(const KEY_EVENT_RECORD& key, bool greyKeysMarked) {
    const Modifier modifier = modifierOf(key.dwControlKeyState);
    if (key.wVirtualKeyCode >= VK_F1 && key.wVirtualKeyCode <= VK_F12) {
        return keycode::FunctionKeys[key.wVirtualKeyCode - VK_F1].with(modifier);
    }
    for (const EditingKey& entry : EditingKeys) {
        if (entry.virtualKey != key.wVirtualKeyCode) {
            continue;
        }
        if ((key.dwControlKeyState & ENHANCED_KEY) || !greyKeysMarked ||
            key.wVirtualScanCode == 0) {
            return entry.codes->with(modifier);
        }
        if (modifier == Modifier::Alt) {
            return std::nullopt; // Alt and the keypad type a character by its number
        }
        return KeyEvent{0, entry.codes->with(modifier).second}; // the keypad's, after 0
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
        return keycode::Escape; // wine's console reports a lone Escape without its character
    }
    return twoCodeKey(key, greyKeysMarked);
}
