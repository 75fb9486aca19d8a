#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quindorel::test {

// An ordinary X client of the tests' own, on a connection of its own: it
// makes top-level windows with the properties a test wants and records the
// key events that reach them.
class X11TestClient {
public:
    struct KeyEvent {
        bool down;
        xcb_keycode_t keycode;
        std::uint16_t state;
        bool operator==(const KeyEvent&) const = default;
    };

    X11TestClient();
    ~X11TestClient();
    X11TestClient(const X11TestClient&) = delete;
    X11TestClient& operator=(const X11TestClient&) = delete;

    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }

    // A top-level window listening for key and focus events, not yet mapped.
    xcb_window_t createWindow(int x = 100, int y = 100, int width = 200, int height = 150);
    void setNetWmName(xcb_window_t window, const std::string& utf8);
    void setWmName(xcb_window_t window, xcb_atom_t type, const std::string& bytes);
    void setTransientFor(xcb_window_t window, xcb_window_t owner);
    // Maps the window and waits until the server (or window manager) shows it.
    void mapAndWait(xcb_window_t window);
    // Asks the window manager to iconify the window and waits until it is.
    void iconifyAndWait(xcb_window_t window);
    void destroy(xcb_window_t window);

    xcb_atom_t atom(const char* name);
    std::vector<xcb_atom_t> atomsOf(xcb_window_t window, xcb_atom_t property);
    std::uint32_t wmState(xcb_window_t window);
    bool viewable(xcb_window_t window);
    // The window's outermost ancestor below the root: its frame, or itself.
    xcb_window_t topAncestor(xcb_window_t window);
    xcb_get_geometry_reply_t geometry(xcb_window_t window);
    std::vector<xcb_window_t> rootChildrenBottomFirst();
    xcb_window_t inputFocus();

    // Whether one of the first `levels` columns of the keycode's row holds
    // the keysym, on the keymap now.
    bool keycodeProduces(xcb_keycode_t keycode, std::uint32_t keysym, int levels = 8);

    // The key events received so far (reading what has arrived).
    const std::vector<KeyEvent>& keyEvents();
    // Reads events until `count` key events have arrived or the time is up.
    bool waitForKeyEvents(std::size_t count, std::chrono::milliseconds timeout);

    // Polls `condition` until it holds or the time is up.
    static bool waitUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

private:
    void readEvents();

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    std::vector<KeyEvent> keyEvents_;
};

}  // namespace quindorel::test
