#include "platform/x11/X11WindowList.h"

#include <cstring>

#include "platform/x11/XcbReply.h"

namespace quindorel {

namespace {

// Enough bytes for 79 characters of up to four bytes each.
constexpr std::uint32_t kTitleLongs = 128;

struct PendingWindow {
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t wmState;
    xcb_get_property_cookie_t netWmName;
    xcb_get_property_cookie_t wmName;
    xcb_get_property_cookie_t transientFor;
};

using PropertyReply = XcbPtr<xcb_get_property_reply_t>;

PropertyReply propertyReply(xcb_connection_t* connection, xcb_get_property_cookie_t cookie) {
    return xcbReply(connection, cookie, xcb_get_property_reply);
}

std::string_view propertyBytes(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(reply))};
}

std::uint32_t firstCardinal(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 32 || xcb_get_property_value_length(reply) < 4) {
        return 0;
    }
    std::uint32_t value;
    std::memcpy(&value, xcb_get_property_value(reply), sizeof value);
    return value;
}

}  // namespace

std::string latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::vector<TopLevelWindow> listTopLevelWindows(X11Display& display) {
    xcb_connection_t* connection = display.connection();
    xcb_ewmh_connection_t* ewmh = display.ewmh();
    const std::vector<xcb_window_t> order = display.stackingOrderTopFirst();

    std::vector<PendingWindow> pending;
    pending.reserve(order.size());
    for (const xcb_window_t window : order) {
        pending.push_back({
            window,
            xcb_get_window_attributes(connection, window),
            xcb_get_property(connection, 0, window, display.wmStateAtom(), display.wmStateAtom(), 0,
                             1),
            xcb_get_property(connection, 0, window, ewmh->_NET_WM_NAME, ewmh->UTF8_STRING, 0,
                             kTitleLongs),
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             kTitleLongs),
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0,
                             1),
        });
    }

    std::vector<TopLevelWindow> windows;
    windows.reserve(pending.size());
    for (const PendingWindow& request : pending) {
        // Every reply is collected, even for a window already known to be
        // gone, so that none is left queued on the shared connection.
        auto attributes = xcbReply(connection, request.attributes, xcb_get_window_attributes_reply);
        const PropertyReply wmState = propertyReply(connection, request.wmState);
        const PropertyReply netWmName = propertyReply(connection, request.netWmName);
        const PropertyReply wmName = propertyReply(connection, request.wmName);
        const PropertyReply transientFor = propertyReply(connection, request.transientFor);
        if (!attributes || !wmState || !netWmName || !wmName || !transientFor) {
            continue;  // the window vanished during the walk
        }

        TopLevelWindow window;
        window.id = static_cast<WindowId>(request.window);
        // A window that the window manager has iconified is unmapped but
        // still counts as visible, as a minimised window does on Windows.
        constexpr std::uint32_t kIconicState = 3;
        window.visible = attributes->map_state != XCB_MAP_STATE_UNMAPPED ||
                         firstCardinal(wmState.get()) == kIconicState;
        window.owned = firstCardinal(transientFor.get()) != XCB_NONE;
        const std::string_view utf8Name = propertyBytes(netWmName.get());
        if (!utf8Name.empty()) {
            window.title = clippedTitle(utf8Name);
        } else if (wmName->type == XCB_ATOM_STRING) {
            window.title = clippedTitle(latin1ToUtf8(propertyBytes(wmName.get())));
        } else {
            window.title = clippedTitle(propertyBytes(wmName.get()));  // UTF8_STRING and the like
        }
        windows.push_back(std::move(window));
    }
    return windows;
}

}  // namespace quindorel
