#pragma once

#include <xcb/xcb.h>

#include <vector>

#include "platform/x11/XcbErrors.h"

namespace quindorel {

// The client windows of a screen found from the window tree alone, for a
// window manager that publishes no client list (weston's Xwayland window
// manager, minimal ones) or none at all: each child of the root that carries
// WM_STATE or contains no window that does, and inside the others (window
// manager frames) the windows that carry WM_STATE. `rootChildren` runs bottom
// to top, as the server reports them; the result runs top first. The tree is
// searched a level at a time, all requests of a level sent before the first
// reply is read, so the walk costs one round trip per level of frame.
std::vector<xcb_window_t> clientWindowsTopFirst(const XcbErrors& errors, xcb_atom_t wmState,
                                                const std::vector<xcb_window_t>& rootChildren);

}  // namespace quindorel
