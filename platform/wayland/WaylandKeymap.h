#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/NativeDesktop.h"
#include "platform/xkb/XkbKeyLayout.h"
#include "platform/xkb/XkbPtr.h"

namespace quindorel {

// The keymap the program's virtual keyboard gets: the seat keyboard's, so
// that keys type what the user's own keyboard types, when the compositor sent
// one that compiles; else one for the layout in use, named by XKB_DEFAULT_RULES,
// _MODEL, _LAYOUT, _VARIANT and _OPTIONS or xkbcommon's defaults. nullptr only
// when not even that compiles (no XKB data installed).
XkbPtr<xkb_keymap> chooseKeymap(xkb_context* context, const std::string& seatKeymap);
// The same, in a context of its own (the keymap keeps it).
XkbPtr<xkb_keymap> chooseKeymap(const std::string& seatKeymap);

// The Linux evdev code (XKB keycode - 8) of a marked key in the first layout
// of `layout`'s keymap, by XkbKeyLayout's rule; nothing when the keymap lacks
// the key.
std::optional<std::uint32_t> evdevCodeFor(const XkbKeyLayout& layout, std::uint8_t virtualKey);

// The Linux button code (BTN_LEFT ...) of a mouse button's virtual-key code.
std::optional<std::uint32_t> buttonCodeFor(std::uint8_t virtualKey);

// The evdev or BTN_ code a stroke goes as: a key-up as its key-down went,
// else by the layout rule; nothing when it has none here.
std::optional<std::uint32_t> codeFor(const XkbKeyLayout& layout, const KeyStroke& stroke);

}  // namespace quindorel
