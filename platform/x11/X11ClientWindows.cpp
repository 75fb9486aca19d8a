#include "platform/x11/X11ClientWindows.h"

#include <cstddef>
#include <utility>

#include "platform/x11/XcbReply.h"

namespace quindorel {

namespace {

// Frames nest a client at most a few windows deep (frame, then a container
// at most); a deeper search would only cost round trips inside applications.
constexpr int kLevels = 3;

struct Probe {
    xcb_window_t window;
    std::size_t rootChild;  // the root child the window lies in
    xcb_get_property_cookie_t wmState;
    xcb_query_tree_cookie_t tree;
};

}  // namespace

std::vector<xcb_window_t> clientWindowsTopFirst(const XcbErrors& errors, xcb_atom_t wmState,
                                                const std::vector<xcb_window_t>& rootChildren) {
    // The clients found inside each root child, bottom first within it.
    xcb_connection_t* connection = errors.connection();
    std::vector<std::vector<xcb_window_t>> clients(rootChildren.size());
    std::vector<std::pair<xcb_window_t, std::size_t>> level;
    for (std::size_t i = 0; i < rootChildren.size(); ++i) {
        level.emplace_back(rootChildren[i], i);
    }
    for (int depth = 1; depth <= kLevels && !level.empty(); ++depth) {
        const bool deepest = depth == kLevels;
        std::vector<Probe> probes;
        probes.reserve(level.size());
        for (const auto& [window, rootChild] : level) {
            // Length 0: only whether the property is there matters.
            probes.push_back(
                {window, rootChild,
                 xcb_get_property(connection, 0, window, wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
                 deepest ? xcb_query_tree_cookie_t{} : xcb_query_tree(connection, window)});
        }
        level.clear();
        for (const Probe& probe : probes) {
            // Both replies are always collected, so that none stays queued.
            const std::string window = windowText(probe.window);
            auto state = xcbReply(errors, probe.wmState, xcb_get_property_reply,
                                  "reading WM_STATE of " + window);
            auto tree = deepest ? nullptr
                                : xcbReply(errors, probe.tree, xcb_query_tree_reply,
                                           "listing the children of " + window);
            if (state && state->type != XCB_NONE) {
                clients[probe.rootChild].push_back(probe.window);
            } else if (tree) {
                const xcb_window_t* children = xcb_query_tree_children(tree.get());
                for (int c = 0; c < xcb_query_tree_children_length(tree.get()); ++c) {
                    level.emplace_back(children[c], probe.rootChild);
                }
            }
        }
    }

    std::vector<xcb_window_t> order;
    order.reserve(rootChildren.size());
    for (std::size_t i = rootChildren.size(); i-- > 0;) {
        if (clients[i].empty()) {
            order.push_back(rootChildren[i]);  // no window manager put it there
        } else {
            order.insert(order.end(), clients[i].rbegin(), clients[i].rend());
        }
    }
    return order;
}

}  // namespace quindorel
