#include "XcbSession.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace quindorel::e2e {

XcbSession::XcbSession() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        throw std::runtime_error("cannot connect to the X server (is DISPLAY set?)");
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem > 1; ++i) {
        xcb_screen_next(&it);
    }
    screen_ = it.data;
    symbols_ = xcb_key_symbols_alloc(connection_);
}

XcbSession::~XcbSession() {
    if (symbols_ != nullptr) {
        xcb_key_symbols_free(symbols_);
    }
    xcb_disconnect(connection_);
}

xcb_atom_t XcbSession::atom(const char* name) {
    const auto cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::uint32_t XcbSession::keysymOf(xcb_keycode_t keycode) {
    return xcb_key_symbols_get_keysym(symbols_, keycode, 0);
}

xcb_keycode_t XcbSession::keycodeOf(std::uint32_t keysym) {
    XcbPtr<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols_, keysym));
    return codes ? codes.get()[0] : 0;
}

void XcbSession::refreshKeymap(xcb_generic_event_t* event) {
    xcb_refresh_keyboard_mapping(symbols_, reinterpret_cast<xcb_mapping_notify_event_t*>(event));
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

}  // namespace quindorel::e2e
