#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quindorel {

// Which keycode (an XKB keycode: the X keycode, the Linux evdev code plus 8)
// a marked key is, in one layout of a keymap. X11 reads the keymap of its
// XTEST keyboard, Wayland the seat's or one of its own.
//
// The rule, the same on press and release:
// - letters and digits by what they type in the active layout (the "y" key
//   sends the key that types y under any layout; a digit may be a shifted
//   one, as on French keyboards); a layout without them (Cyrillic, Greek)
//   gets the key at the letter's or digit's place instead;
// - the punctuation keys by their place on the keyboard (";:" is the key
//   right of L, whatever it types), as a picture of a US keyboard shows them;
// - named keys (Shift, F1, arrows, the keypad...) by what they are.
class XkbKeyLayout {
public:
    // The keys of `keymap` in its layout `active` (keys with fewer layouts
    // wrap it, as the X server does).
    static XkbKeyLayout fromKeymap(xkb_keymap* keymap, xkb_layout_index_t active);

    std::optional<std::uint8_t> keycodeFor(std::uint8_t virtualKey) const;
    // A keycode with nothing on it, searched from the top where keymaps
    // leave most room, to lend to a key that this keymap lacks.
    std::optional<std::uint8_t> spare() const;
    // Notes that `keycode` now types `keysym`.
    void bind(std::uint8_t keycode, std::uint32_t keysym);

protected:
    XkbKeyLayout() = default;
    std::optional<std::uint8_t> byKeysym(std::uint32_t keysym) const;
    std::optional<std::uint8_t> byName(const char* name) const;

    std::uint8_t min_ = 8;
    // Per keycode from min_: the keysyms of the active layout, by level.
    std::vector<std::vector<std::uint32_t>> active_;
    // Per keycode from min_: whether any layout puts anything on it.
    std::vector<bool> used_;
    std::map<std::string, std::uint8_t> names_;  // "AC01" -> keycode
};

}  // namespace quindorel
