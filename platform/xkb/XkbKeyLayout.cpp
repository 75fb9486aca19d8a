#include "platform/xkb/XkbKeyLayout.h"

#include "platform/KeyPlaces.h"

#include <algorithm>

#include "platform/x11/VirtualKeyMap.h"

namespace quindorel {

XkbKeyLayout XkbKeyLayout::fromKeymap(xkb_keymap* keymap, xkb_layout_index_t active) {
    XkbKeyLayout layout;
    const xkb_keycode_t min = xkb_keymap_min_keycode(keymap);
    const xkb_keycode_t max = std::min<xkb_keycode_t>(xkb_keymap_max_keycode(keymap), 255);
    layout.min_ = static_cast<std::uint8_t>(min);
    for (xkb_keycode_t keycode = min; keycode <= max; ++keycode) {
        const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap, keycode);
        std::vector<std::uint32_t> levels;
        if (layouts > 0) {
            // A key with fewer layouts wraps the active one, as the server does.
            const xkb_layout_index_t group = active % layouts;
            const xkb_level_index_t count = xkb_keymap_num_levels_for_key(keymap, keycode, group);
            for (xkb_level_index_t level = 0; level < count; ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int n =
                    xkb_keymap_key_get_syms_by_level(keymap, keycode, group, level, &syms);
                levels.push_back(n > 0 ? syms[0] : XKB_KEY_NoSymbol);
            }
        }
        layout.active_.push_back(std::move(levels));
        layout.used_.push_back(layouts > 0);
        if (const char* name = xkb_keymap_key_get_name(keymap, keycode)) {
            layout.names_.emplace(name, static_cast<std::uint8_t>(keycode));
        }
    }
    return layout;
}

std::optional<std::uint8_t> XkbKeyLayout::byKeysym(std::uint32_t keysym) const {
    if (keysym == 0) {
        return std::nullopt;
    }
    // The lowest level wins, so that an unshifted key beats a shifted one.
    for (std::size_t level = 0;; ++level) {
        bool anyKeyThatDeep = false;
        for (std::size_t row = 0; row < active_.size(); ++row) {
            if (level < active_[row].size()) {
                anyKeyThatDeep = true;
                if (active_[row][level] == keysym) {
                    return static_cast<std::uint8_t>(min_ + row);
                }
            }
        }
        if (!anyKeyThatDeep) {
            return std::nullopt;
        }
    }
}

std::optional<std::uint8_t> XkbKeyLayout::byName(const char* name) const {
    const auto found = names_.find(name);
    return found == names_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<std::uint8_t> XkbKeyLayout::keycodeFor(std::uint8_t virtualKey) const {
    const KeyPlace* place = keyPlace(virtualKey);
    if (place != nullptr && isKeyByPlace(virtualKey)) {
        if (const auto keycode = byName(place->xkbName)) {
            return keycode;
        }
        // A keymap without key names: the key that types the US symbol.
        return byKeysym(keysymForVirtualKey(virtualKey));
    }
    if (const auto keycode = byKeysym(keysymForVirtualKey(virtualKey))) {
        return keycode;
    }
    // A layout without them (Cyrillic, Greek): the key at their place.
    const bool letterOrDigit =
        (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
    if (letterOrDigit && place != nullptr) {
        return byName(place->xkbName);
    }
    return std::nullopt;
}

std::optional<std::uint8_t> XkbKeyLayout::spare() const {
    for (std::size_t row = std::min(active_.size(), used_.size()); row-- > 0;) {
        // Keycodes below 8 do not exist on the wire.
        if (!used_[row] && min_ + row >= 8) {
            return static_cast<std::uint8_t>(min_ + row);
        }
    }
    return std::nullopt;
}

void XkbKeyLayout::bind(std::uint8_t keycode, std::uint32_t keysym) {
    if (keycode < min_) {
        return;
    }
    const std::size_t row = keycode - min_;
    if (row >= active_.size()) {
        active_.resize(row + 1);
        used_.resize(row + 1, false);
    }
    active_[row] = keysym == 0 ? std::vector<std::uint32_t>{} : std::vector{keysym, keysym};
    used_[row] = keysym != 0;
}

}  // namespace quindorel
