#include "platform/x11/X11KeyLayout.h"

#include <X11/keysym.h>
#include <xcb/xinput.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/KeyPlaces.h"
#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/XcbReply.h"

namespace quindorel {

namespace {

struct XkbFree {
    void operator()(xkb_context* p) const { xkb_context_unref(p); }
    void operator()(xkb_keymap* p) const { xkb_keymap_unref(p); }
    void operator()(xkb_state* p) const { xkb_state_unref(p); }
};
template <class T>
using XkbPtr = std::unique_ptr<T, XkbFree>;

}  // namespace

int X11KeyLayout::xtestKeyboard(const XcbErrors& errors) {
    xcb_connection_t* connection = errors.connection();
    if (!xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
        return -1;
    }
    // XInput 1's listing: it needs no version handshake, which could clash
    // with the one the toolkit made on a shared connection.
    auto reply = xcbReply(errors, xcb_input_list_input_devices(connection),
                          xcb_input_list_input_devices_reply, "listing the input devices");
    if (reply) {
        const xcb_input_device_info_t* devices = xcb_input_list_input_devices_devices(reply.get());
        xcb_str_iterator_t name = xcb_input_list_input_devices_names_iterator(reply.get());
        constexpr std::string_view kXtestSuffix = "XTEST keyboard";
        for (int i = 0; i < reply->devices_len && name.rem > 0; ++i, xcb_str_next(&name)) {
            const std::string_view text(xcb_str_name(name.data),
                                        static_cast<std::size_t>(xcb_str_name_length(name.data)));
            if (devices[i].device_use == XCB_INPUT_DEVICE_USE_IS_X_EXTENSION_KEYBOARD &&
                text.size() >= kXtestSuffix.size() &&
                text.substr(text.size() - kXtestSuffix.size()) == kXtestSuffix) {
                return devices[i].device_id;
            }
        }
    }
    return xkb_x11_get_core_keyboard_device_id(connection);
}

X11KeyLayout X11KeyLayout::fetch(const XcbErrors& errors, int device) {
    xcb_connection_t* connection = errors.connection();
    X11KeyLayout layout;
    XkbPtr<xkb_context> context(
        device < 0 ? nullptr
                   : xkb_context_new(static_cast<xkb_context_flags>(
                         XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    XkbPtr<xkb_keymap> keymap(context ? xkb_x11_keymap_new_from_device(context.get(), connection,
                                                                       device,
                                                                       XKB_KEYMAP_COMPILE_NO_FLAGS)
                                      : nullptr);
    XkbPtr<xkb_state> state(keymap ? xkb_x11_state_new_from_device(keymap.get(), connection, device)
                                   : nullptr);
    if (state) {
        const xkb_layout_index_t active =
            xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
        const xkb_keycode_t min = xkb_keymap_min_keycode(keymap.get());
        const xkb_keycode_t max =
            std::min<xkb_keycode_t>(xkb_keymap_max_keycode(keymap.get()), 255);
        layout.min_ = static_cast<xcb_keycode_t>(min);
        for (xkb_keycode_t keycode = min; keycode <= max; ++keycode) {
            const xkb_layout_index_t layouts =
                xkb_keymap_num_layouts_for_key(keymap.get(), keycode);
            std::vector<std::uint32_t> levels;
            if (layouts > 0) {
                // A key with fewer layouts wraps the active one, as the server does.
                const xkb_layout_index_t group = active % layouts;
                const xkb_level_index_t count =
                    xkb_keymap_num_levels_for_key(keymap.get(), keycode, group);
                for (xkb_level_index_t level = 0; level < count; ++level) {
                    const xkb_keysym_t* syms = nullptr;
                    const int n = xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, group,
                                                                   level, &syms);
                    levels.push_back(n > 0 ? syms[0] : XKB_KEY_NoSymbol);
                }
            }
            layout.active_.push_back(std::move(levels));
            layout.used_.push_back(layouts > 0);
            if (const char* name = xkb_keymap_key_get_name(keymap.get(), keycode)) {
                layout.names_.emplace(name, static_cast<xcb_keycode_t>(keycode));
            }
        }
        return layout;
    }

    // No XKB: the core keymap, whose first two columns are the first layout.
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto reply = xcbReply(errors, xcb_get_keyboard_mapping(connection, setup->min_keycode, count),
                          xcb_get_keyboard_mapping_reply, "reading the core keymap");
    layout.min_ = setup->min_keycode;
    if (!reply || reply->keysyms_per_keycode == 0) {
        return layout;
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int per = reply->keysyms_per_keycode;
    const int rows = xcb_get_keyboard_mapping_keysyms_length(reply.get()) / per;
    for (int row = 0; row < rows; ++row) {
        const xcb_keysym_t* first = keysyms + row * per;
        layout.active_.emplace_back(first, first + std::min(per, 2));
        layout.used_.push_back(
            std::any_of(first, first + per, [](xcb_keysym_t k) { return k != 0; }));
    }
    return layout;
}

std::optional<xcb_keycode_t> X11KeyLayout::byKeysym(std::uint32_t keysym) const {
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
                    return static_cast<xcb_keycode_t>(min_ + row);
                }
            }
        }
        if (!anyKeyThatDeep) {
            return std::nullopt;
        }
    }
}

std::optional<xcb_keycode_t> X11KeyLayout::byName(const char* name) const {
    const auto found = names_.find(name);
    return found == names_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<xcb_keycode_t> X11KeyLayout::keycodeFor(std::uint8_t virtualKey) const {
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

std::optional<xcb_keycode_t> X11KeyLayout::spare() const {
    for (std::size_t row = std::min(active_.size(), used_.size()); row-- > 0;) {
        // Keycodes below 8 do not exist on the wire.
        if (!used_[row] && min_ + row >= 8) {
            return static_cast<xcb_keycode_t>(min_ + row);
        }
    }
    return std::nullopt;
}

void X11KeyLayout::bind(xcb_keycode_t keycode, std::uint32_t keysym) {
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
