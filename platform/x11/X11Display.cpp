#include "platform/x11/X11Display.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/x11/X11ClientWindows.h"
#include "platform/x11/XcbReply.h"

namespace quindorel {

namespace {

xcb_screen_t* screenOfNumber(xcb_connection_t* connection, int number) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == number) {
            return it.data;
        }
    }
    return nullptr;
}

std::optional<xcb_window_t> singleWindow(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply) < 4) {
        return std::nullopt;
    }
    xcb_window_t window;
    std::memcpy(&window, xcb_get_property_value(reply), sizeof window);
    return window;
}

}  // namespace

X11Display::X11Display(xcb_connection_t* connection, int screen, SystemLog log)
    : connection_(connection), errors_(connection, std::move(log)), screen_(screen) {
    if (xcb_screen_t* data = screenOfNumber(connection, screen)) {
        root_ = data->root;
    } else if (xcb_screen_t* first = screenOfNumber(connection, 0)) {
        screen_ = 0;
        root_ = first->root;
    }
    // The EWMH atoms and WM_STATE are interned in one batch.
    static const char kWmState[] = "WM_STATE";
    xcb_intern_atom_cookie_t wmStateCookie =
        xcb_intern_atom(connection, 0, sizeof kWmState - 1, kWmState);
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(connection, &ewmh_);
    ewmhReady_ = xcb_ewmh_init_atoms_replies(&ewmh_, ewmhCookies, nullptr) != 0;
    if (auto reply =
            xcbReply(errors_, wmStateCookie, xcb_intern_atom_reply, "interning WM_STATE")) {
        wmState_ = reply->atom;
    }
}

X11Display::~X11Display() {
    if (ewmhReady_) {
        xcb_ewmh_connection_wipe(&ewmh_);
    }
}

std::optional<xcb_window_t> X11Display::windowManagerCheckWindow(
    xcb_get_property_cookie_t rootCheck) {
    auto rootReply = xcbReply(errors_, rootCheck, xcb_get_property_reply,
                              "reading the root's window manager check");
    const std::optional<xcb_window_t> check = singleWindow(rootReply.get());
    if (!check || *check == XCB_NONE) {
        return std::nullopt;
    }
    auto own = xcbReply(errors_, xcb_ewmh_get_supporting_wm_check(&ewmh_, *check),
                        xcb_get_property_reply, "reading the check of " + windowText(*check));
    if (singleWindow(own.get()) != check) {
        return std::nullopt;
    }
    return check;
}

bool X11Display::windowManagerRunning() {
    if (!ewmhReady_) {
        return false;
    }
    return windowManagerCheckWindow(xcb_ewmh_get_supporting_wm_check(&ewmh_, root_)).has_value();
}

std::vector<xcb_window_t> X11Display::stackingOrderTopFirst() {
    std::vector<xcb_window_t> order;
    // All three questions go out at once; the answers decide which list counts.
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(connection_, root_);
    if (ewmhReady_) {
        const xcb_get_property_cookie_t checkCookie =
            xcb_ewmh_get_supporting_wm_check(&ewmh_, root_);
        const xcb_get_property_cookie_t stackingCookie =
            xcb_ewmh_get_client_list_stacking(&ewmh_, screen_);
        const bool managed = windowManagerCheckWindow(checkCookie).has_value();
        xcb_ewmh_get_windows_reply_t stacking{};
        xcb_generic_error_t* error = nullptr;
        const bool listed = managed && xcb_ewmh_get_client_list_stacking_reply(
                                           &ewmh_, stackingCookie, &stacking, &error);
        errors_.report(error, LogLevel::Debug, "reading the window manager's stacking list");
        if (listed) {
            order.assign(stacking.windows, stacking.windows + stacking.windows_len);
            xcb_ewmh_get_windows_reply_wipe(&stacking);
            xcb_discard_reply(connection_, treeCookie.sequence);
            std::reverse(order.begin(), order.end());  // the list runs bottom to top
            return order;
        }
        if (!managed) {
            xcb_discard_reply(connection_, stackingCookie.sequence);
        }
    }
    if (auto tree =
            xcbReply(errors_, treeCookie, xcb_query_tree_reply, "listing the root's children")) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        order.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    return clientWindowsTopFirst(errors_, wmState_, order);
}

}  // namespace quindorel
