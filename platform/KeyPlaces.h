#pragma once

// Where each key sits on a US PC keyboard, the keyboard the program's picture
// shows: one table that every back end reads. Windows sends a key with its
// scan code (set 1) and extended flag; X11 and Wayland find a key by its XKB
// name in the keymap in use (whose keycode less 8 is the evdev code).
//
// Which key a marked key is, on every system: letters and digits by what
// they type in the active layout, punctuation by its place (isKeyByPlace),
// named keys (Shift, F1, the arrows, the keypad...) by what they are. The
// places are also where a layout that names no key for a code finds it.

#include <cstdint>

namespace quindorel {

struct KeyPlace {
    std::uint8_t scanCode = 0;  // set 1, without the E0 prefix
    bool extended = false;      // sent with the E0 prefix
    // The XKB key name ("AC01"), given for the letters, the digits and the
    // punctuation: the keys that X11 looks up by their place.
    const char* xkbName = nullptr;
};

// The place of a key of a full PC keyboard (and of the generic Shift, Ctrl
// and Alt, at their left keys); null for any other code.
const KeyPlace* keyPlace(std::uint8_t virtualKey);

// The punctuation keys (VK_OEM_1 to VK_OEM_3, VK_OEM_4 to VK_OEM_7,
// VK_OEM_102): each layout prints other characters on them and gives them
// other codes, so the on-screen key stands for its place, as letters cannot.
constexpr bool isKeyByPlace(std::uint8_t virtualKey) {
    return (virtualKey >= 186 && virtualKey <= 192) || (virtualKey >= 219 && virtualKey <= 222) ||
           virtualKey == 226;
}

}  // namespace quindorel
