#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/x11/XcbPtr.h"

namespace quindorel::test {

using quindorel::XcbPtr;

// Polls `condition` until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// A readable name for the keysyms the tests use, else its number in hex.
std::string keysymName(std::uint32_t keysym);

// An ordinary X client of the tests' own, on a connection of its own to the
// display DISPLAY names: it makes top-level windows with the properties a
// test wants, records the key events that reach them and reads the keymap.
// The real-X tests and the end-to-end helper programs share it.
class XcbClient {
public:
    struct KeyEvent {
        bool down;
        xcb_keycode_t keycode;
    };

    XcbClient();  // throws std::runtime_error when there is no X server
    ~XcbClient();
    XcbClient(const XcbClient&) = delete;
    XcbClient& operator=(const XcbClient&) = delete;

    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }

    // A top-level window listening for key, button, focus, structure and
    // property events, placed where asked also under a window manager; not
    // yet mapped.
    xcb_window_t createWindow(int x = 100, int y = 100, int width = 200, int height = 150);
    void setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 const std::string& bytes);
    void setNetWmName(xcb_window_t window, const std::string& utf8);
    void setTransientFor(xcb_window_t window, xcb_window_t owner);
    // Maps the window and waits until the server (or window manager) shows it.
    void mapAndWait(xcb_window_t window);
    // Asks the window manager to iconify the window and waits until it is.
    void iconifyAndWait(xcb_window_t window);
    void destroy(xcb_window_t window);

    xcb_atom_t atom(const char* name);
    std::vector<xcb_atom_t> atomsOf(xcb_window_t window, xcb_atom_t property);
    bool viewable(xcb_window_t window);
    // The window's outermost ancestor below the root: its frame, or itself.
    xcb_window_t topAncestor(xcb_window_t window);
    xcb_get_geometry_reply_t geometry(xcb_window_t window);
    std::vector<xcb_window_t> rootChildrenBottomFirst();
    xcb_window_t inputFocus();

    // The keymap as the server has it at each call (no copy is kept).
    // The plain level, so that "a" stays "a" while Shift is down.
    xcb_keysym_t keysymOf(xcb_keycode_t keycode);
    // The first keycode with the keysym on any level; 0 when none has it.
    xcb_keycode_t keycodeOf(xcb_keysym_t keysym);
    // Whether one of the first `levels` levels of the keycode's row holds the keysym.
    bool keycodeProduces(xcb_keycode_t keycode, xcb_keysym_t keysym, int levels = 8);

    // The key events received so far (reading what has arrived).
    const std::vector<KeyEvent>& keyEvents();
    // Reads events until `count` key events have arrived or the time is up.
    bool waitForKeyEvents(std::size_t count, std::chrono::milliseconds timeout);

private:
    void readEvents();
    std::uint32_t wmState(xcb_window_t window);
    // The keysyms of the keycode's row, its plain level first.
    std::vector<xcb_keysym_t> keysymsOf(xcb_keycode_t keycode);

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    std::vector<KeyEvent> keyEvents_;
};

}  // namespace quindorel::test
