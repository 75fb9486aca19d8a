#include "platform/x11/X11KeyLayout.h"

#include <X11/keysym.h>
#include <xcb/xinput.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <algorithm>
#include <string_view>

#include "platform/x11/XcbReply.h"
#include "platform/xkb/XkbPtr.h"

namespace quindorel {

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
        return X11KeyLayout(fromKeymap(keymap.get(), active));
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

}  // namespace quindorel
