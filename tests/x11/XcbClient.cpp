#include "XcbClient.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

namespace quindorel::test {

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string keysymName(std::uint32_t keysym) {
    static const std::pair<std::uint32_t, const char*> kNames[] = {
        {0xff0d, "Return"},    {0xff8d, "KP_Enter"}, {0xff1b, "Escape"},  {0xff09, "Tab"},
        {0xff08, "BackSpace"}, {0xffe1, "Shift_L"},  {0xffe2, "Shift_R"}, {0xffe3, "Control_L"},
        {0xffe4, "Control_R"}, {0xffe9, "Alt_L"},    {0xffea, "Alt_R"},   {0xffe5, "Caps_Lock"},
        {0xff7f, "Num_Lock"},  {0xff51, "Left"},     {0xff52, "Up"},      {0xff53, "Right"},
        {0xff54, "Down"},      {0xffbe, "F1"},       {0xffeb, "Super_L"}, {0x0020, "space"},
    };
    for (const auto& [value, name] : kNames) {
        if (value == keysym) {
            return name;
        }
    }
    if ((keysym >= '0' && keysym <= '9') || (keysym >= 'a' && keysym <= 'z')) {
        return std::string(1, static_cast<char>(keysym));
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", keysym);
    return hex;
}

XcbClient::XcbClient() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        throw std::runtime_error("cannot connect to the X server (is DISPLAY set?)");
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem > 1; ++i) {
        xcb_screen_next(&it);
    }
    screen_ = it.data;
}

XcbClient::~XcbClient() {
    xcb_disconnect(connection_);
}

xcb_window_t XcbClient::createWindow(int x, int y, int width, int height) {
    const xcb_window_t window = xcb_generate_id(connection_);
    const std::uint32_t values[] = {
        screen_->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                  XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                  XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                  XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root,
                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    // Ask the window manager to place it where it was created.
    std::uint32_t sizeHints[18] = {};
    sizeHints[0] = 1 | 2 | 512;  // USPosition, USSize, PWinGravity
    sizeHints[1] = static_cast<std::uint32_t>(x);
    sizeHints[2] = static_cast<std::uint32_t>(y);
    sizeHints[3] = static_cast<std::uint32_t>(width);
    sizeHints[4] = static_cast<std::uint32_t>(height);
    sizeHints[17] = XCB_GRAVITY_NORTH_WEST;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);
    xcb_flush(connection_);
    return window;
}

void XcbClient::setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                        const std::string& bytes) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        static_cast<std::uint32_t>(bytes.size()), bytes.data());
    xcb_flush(connection_);
}

void XcbClient::setNetWmName(xcb_window_t window, const std::string& utf8) {
    setText(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), utf8);
}

void XcbClient::setTransientFor(xcb_window_t window, xcb_window_t owner) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &owner);
    xcb_flush(connection_);
}

void XcbClient::mapAndWait(xcb_window_t window) {
    xcb_map_window(connection_, window);
    xcb_flush(connection_);
    waitUntil([&] { return viewable(window); });
}

void XcbClient::iconifyAndWait(xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_CHANGE_STATE");
    message.data.data32[0] = 3;  // IconicState
    xcb_send_event(connection_, 0, screen_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
    waitUntil([&] { return wmState(window) == 3 && !viewable(window); });
}

void XcbClient::destroy(xcb_window_t window) {
    xcb_destroy_window(connection_, window);
    inputFocus();  // a round trip: the window is gone when this returns
}

xcb_atom_t XcbClient::atom(const char* name) {
    XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<xcb_atom_t> XcbClient::atomsOf(xcb_window_t window, xcb_atom_t property) {
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, XCB_ATOM_ATOM, 0, 64),
        nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {atoms, atoms + xcb_get_property_value_length(reply.get()) / 4};
}

std::uint32_t XcbClient::wmState(xcb_window_t window) {
    const xcb_atom_t wmStateAtom = atom("WM_STATE");
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, wmStateAtom, wmStateAtom, 0, 1),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return 0;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

bool XcbClient::viewable(xcb_window_t window) {
    XcbPtr<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

xcb_window_t XcbClient::topAncestor(xcb_window_t window) {
    for (;;) {
        XcbPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
        if (!tree || tree->parent == tree->root || tree->parent == XCB_NONE) {
            return window;
        }
        window = tree->parent;
    }
}

xcb_get_geometry_reply_t XcbClient::geometry(xcb_window_t window) {
    XcbPtr<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    return reply ? *reply : xcb_get_geometry_reply_t{};
}

std::vector<xcb_window_t> XcbClient::rootChildrenBottomFirst() {
    XcbPtr<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root()), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

xcb_window_t XcbClient::inputFocus() {
    XcbPtr<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    return reply ? reply->focus : XCB_NONE;
}

std::vector<xcb_keysym_t> XcbClient::keysymsOf(xcb_keycode_t keycode) {
    XcbPtr<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, keycode, 1), nullptr));
    if (!reply) {
        return {};
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    return {keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get())};
}

xcb_keysym_t XcbClient::keysymOf(xcb_keycode_t keycode) {
    const std::vector<xcb_keysym_t> row = keysymsOf(keycode);
    return row.empty() ? XCB_NO_SYMBOL : row.front();
}

xcb_keycode_t XcbClient::keycodeOf(xcb_keysym_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    XcbPtr<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        connection_,
        xcb_get_keyboard_mapping(
            connection_, setup->min_keycode,
            static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1)),
        nullptr));
    if (!reply || reply->keysyms_per_keycode == 0) {
        return 0;
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    const xcb_keysym_t* found = std::find(keysyms, keysyms + length, keysym);
    return found == keysyms + length
               ? 0
               : static_cast<xcb_keycode_t>(setup->min_keycode +
                                            (found - keysyms) / reply->keysyms_per_keycode);
}

bool XcbClient::keycodeProduces(xcb_keycode_t keycode, xcb_keysym_t keysym, int levels) {
    const std::vector<xcb_keysym_t> row = keysymsOf(keycode);
    const auto end = row.begin() + std::min<std::ptrdiff_t>(levels, std::ssize(row));
    return std::find(row.begin(), end, keysym) != end;
}

void XcbClient::readEvents() {
    while (XcbPtr<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
        const std::uint8_t type = event->response_type & 0x7F;
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
            const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event.get());
            keyEvents_.push_back({type == XCB_KEY_PRESS, key->detail});
        }
    }
}

const std::vector<XcbClient::KeyEvent>& XcbClient::keyEvents() {
    readEvents();
    return keyEvents_;
}

bool XcbClient::waitForKeyEvents(std::size_t count, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return keyEvents().size() >= count; }, timeout);
}

}  // namespace quindorel::test
