#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11/XcbErrors.h"

namespace quindorel {

// Which keycode a marked key is, on the keyboard that XTEST sends from. That
// keyboard has a keymap of its own: Xwayland keeps it apart from the real
// keyboard's (a US map beside a French one), so looking keys up in the core
// map can pick a key that the XTEST keyboard reads as another letter.
//
// The rule, the same on press and release:
// - letters and digits by what they type in the active layout (the "y" key
//   sends the key that types y under any layout; a digit may be a shifted
//   one, as on French keyboards); a layout without them (Cyrillic, Greek)
//   gets the key at the letter's or digit's place instead;
// - the punctuation keys by their place on the keyboard (";:" is the key
//   right of L, whatever it types), as a picture of a US keyboard shows them;
// - named keys (Shift, F1, arrows, the keypad...) by what they are.
class X11KeyLayout {
public:
    // The keymap and the active layout of `device` (an XKB device id, the
    // XTEST keyboard), or of the core keymap when XKB cannot say.
    static X11KeyLayout fetch(const XcbErrors& errors, int device);
    // The XInput id of the XTEST keyboard, or the core keyboard's XKB id when
    // there is none; -1 without XKB.
    static int xtestKeyboard(const XcbErrors& errors);

    std::optional<xcb_keycode_t> keycodeFor(std::uint8_t virtualKey) const;
    // A keycode with nothing on it, searched from the top where keymaps
    // leave most room, to lend to a key that this keymap lacks.
    std::optional<xcb_keycode_t> spare() const;
    // Notes that `keycode` now types `keysym`.
    void bind(xcb_keycode_t keycode, std::uint32_t keysym);

private:
    X11KeyLayout() = default;
    std::optional<xcb_keycode_t> byKeysym(std::uint32_t keysym) const;
    std::optional<xcb_keycode_t> byName(const char* name) const;

    xcb_keycode_t min_ = 8;
    // Per keycode from min_: the keysyms of the active layout, by level.
    std::vector<std::vector<std::uint32_t>> active_;
    // Per keycode from min_: whether any layout puts anything on it.
    std::vector<bool> used_;
    std::map<std::string, xcb_keycode_t> names_;  // "AC01" -> keycode
};

}  // namespace quindorel
