#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace quindorel::e2e {

// xcb hands out replies and events that the caller frees with free().
struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

// One connection to the display that DISPLAY names, with its first screen and
// the keyboard mapping; the end-to-end helper programs share it.
class XcbSession {
public:
    XcbSession();
    ~XcbSession();
    XcbSession(const XcbSession&) = delete;
    XcbSession& operator=(const XcbSession&) = delete;

    bool ok() const { return !xcb_connection_has_error(connection_); }
    xcb_connection_t* connection() const { return connection_; }
    xcb_screen_t* screen() const { return screen_; }
    xcb_window_t root() const { return screen_->root; }

    xcb_atom_t atom(const char* name);
    // The unshifted keysym of a keycode, so that "a" stays "a" while Shift is down.
    std::uint32_t keysymOf(xcb_keycode_t keycode);
    xcb_keycode_t keycodeOf(std::uint32_t keysym);
    // Call on MappingNotify: the keymap may have changed.
    void refreshKeymap(xcb_generic_event_t* event);

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_key_symbols_t* symbols_ = nullptr;
};

// A readable name for the keysyms the tests use, else its number in hex.
std::string keysymName(std::uint32_t keysym);

}  // namespace quindorel::e2e
