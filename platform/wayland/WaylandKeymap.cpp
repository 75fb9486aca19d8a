#include "platform/wayland/WaylandKeymap.h"

#include <linux/input-event-codes.h>

namespace quindorel {

XkbPtr<xkb_keymap> chooseKeymap(xkb_context* context, const std::string& seatKeymap) {
    if (!seatKeymap.empty()) {
        XkbPtr<xkb_keymap> seat(xkb_keymap_new_from_string(
            context, seatKeymap.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (seat) {
            return seat;
        }
    }
    // Null names: xkbcommon fills them from the environment, then its defaults.
    return XkbPtr<xkb_keymap>(
        xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

XkbPtr<xkb_keymap> chooseKeymap(const std::string& seatKeymap) {
    XkbPtr<xkb_context> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    return context ? chooseKeymap(context.get(), seatKeymap) : nullptr;
}

std::optional<std::uint32_t> codeFor(const XkbKeyLayout& layout, const KeyStroke& stroke) {
    if (!stroke.down && stroke.pressed) {
        return stroke.pressed;
    }
    return isMouseButton(stroke.virtualKey) ? buttonCodeFor(stroke.virtualKey)
                                            : evdevCodeFor(layout, stroke.virtualKey);
}

std::optional<std::uint32_t> evdevCodeFor(const XkbKeyLayout& layout, std::uint8_t virtualKey) {
    // XKB keycodes are evdev codes plus 8; those below 8 have no evdev code.
    const auto keycode = layout.keycodeFor(virtualKey);
    if (!keycode || *keycode < 8) {
        return std::nullopt;
    }
    return *keycode - 8u;
}

std::optional<std::uint32_t> buttonCodeFor(std::uint8_t virtualKey) {
    switch (virtualKey) {
        case 1:
            return BTN_LEFT;
        case 2:
            return BTN_RIGHT;
        case 4:
            return BTN_MIDDLE;
        case 5:
            return BTN_SIDE;
        case 6:
            return BTN_EXTRA;
        default:
            return std::nullopt;
    }
}

}  // namespace quindorel
