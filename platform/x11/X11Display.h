#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <optional>
#include <vector>

#include "platform/x11/XcbErrors.h"

namespace quindorel {

// One screen of an X server, reached through a connection that someone else
// owns, with the atoms that the desktop back end needs.
class X11Display {
public:
    X11Display(xcb_connection_t* connection, int screen, SystemLog log = {});
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    xcb_connection_t* connection() const { return connection_; }
    // Where every X error of the back end is logged.
    XcbErrors& errors() { return errors_; }
    int screenNumber() const { return screen_; }
    xcb_window_t root() const { return root_; }
    xcb_ewmh_connection_t* ewmh() { return &ewmh_; }
    xcb_atom_t wmStateAtom() const { return wmState_; }

    // True while an EWMH window manager runs: the root names a check window
    // that names itself (a stale property of a window manager that is gone
    // names a window that no longer exists).
    bool windowManagerRunning();

    // The top-level client windows, top of the stacking order first: the
    // window manager's stacking list when one runs and publishes it,
    // otherwise the clients found in the window tree.
    std::vector<xcb_window_t> stackingOrderTopFirst();

private:
    std::optional<xcb_window_t> windowManagerCheckWindow(xcb_get_property_cookie_t rootCheck);

    xcb_connection_t* connection_;
    XcbErrors errors_;
    int screen_;
    xcb_window_t root_ = XCB_NONE;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    xcb_atom_t wmState_ = XCB_NONE;
};

}  // namespace quindorel
