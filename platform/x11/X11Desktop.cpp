#include "platform/x11/X11Desktop.h"

#include <xcb/sync.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11KeyGrabs.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11WindowList.h"
#include "platform/x11/XcbReply.h"

namespace quindorel {

namespace {

// A pager or task bar asks: window managers grant such requests without
// their focus-stealing prevention.
constexpr auto kSourcePager = XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER;

// The SERVERTIME counter in the SYNC extension's list of system counters.
// Each entry is its id, its resolution (8 bytes), the name's length and the
// name, padded to 4 bytes; libxcb's iterator over them misreads the padding.
std::optional<xcb_sync_counter_t> findServerClock(
    const xcb_sync_list_system_counters_reply_t* list) {
    const auto* entry = reinterpret_cast<const std::uint8_t*>(
        xcb_sync_list_system_counters_counters_iterator(list).data);
    const auto* end = reinterpret_cast<const std::uint8_t*>(list) + 32 + 4 * list->length;
    constexpr std::size_t kHead = 14;
    for (std::uint32_t i = 0; i < list->counters_len && entry + kHead <= end; ++i) {
        std::uint32_t counter = 0;
        std::uint16_t length = 0;
        std::memcpy(&counter, entry, sizeof counter);
        std::memcpy(&length, entry + 12, sizeof length);
        if (entry + kHead + length > end) {
            break;
        }
        if (length == 10 && std::memcmp(entry + kHead, "SERVERTIME", 10) == 0) {
            return counter;
        }
        entry += (kHead + length + 3) & ~std::size_t{3};
    }
    return std::nullopt;
}

// How long a pass waits for a shown window to take the focus.
constexpr auto kFocusWait = std::chrono::milliseconds(200);

}  // namespace

struct X11Desktop::State {
    State(xcb_connection_t* connection, int screen, SystemLog log, std::unique_ptr<Waiter> waiter)
        : display(connection, screen, std::move(log)),
          keyboard(display.errors()),
          waiter(std::move(waiter)),
          keyGrabs(display.connection(), display.root(), display.errors(), keyboard) {}

    xcb_connection_t* connection() const { return display.connection(); }
    XcbErrors& errors() { return display.errors(); }
    bool focusIn(const std::function<bool(xcb_window_t)>& isIt);
    bool hasFocus(xcb_window_t window) {
        return focusIn([window](xcb_window_t w) { return w == window; });
    }
    void waitForFocus(xcb_window_t window);
    xcb_timestamp_t serverTime();
    bool ours(xcb_window_t window) const;
    bool pointerOver(xcb_window_t window);
    std::optional<std::pair<std::int16_t, std::int16_t>> visibleMiddle(xcb_window_t window);

    X11Display display;
    X11Keyboard keyboard;
    std::unique_ptr<Waiter> waiter;
    X11KeyGrabs keyGrabs;
    // The SYNC extension's counter of the server's clock, once looked up.
    std::optional<xcb_sync_counter_t> serverClock;
    bool serverClockLooked = false;
};

// Window managers weigh an activation request by its time against the
// user's last input, and Mutter calls a request at time 0 buggy. The SYNC
// extension's SERVERTIME counter reads the server's clock in one round trip,
// without the event a property change would need on a shared connection.
xcb_timestamp_t X11Desktop::State::serverTime() {
    xcb_connection_t* c = connection();
    if (!serverClockLooked) {
        serverClockLooked = true;
        const xcb_query_extension_reply_t* sync = xcb_get_extension_data(c, &xcb_sync_id);
        if (sync != nullptr && sync->present) {
            auto reply = xcbReply(errors(), xcb_sync_initialize(c, 3, 1), xcb_sync_initialize_reply,
                                  "starting SYNC");
            auto counters =
                reply ? xcbReply(errors(), xcb_sync_list_system_counters(c),
                                 xcb_sync_list_system_counters_reply, "listing SYNC's counters")
                      : nullptr;
            if (counters) {
                serverClock = findServerClock(counters.get());
            }
        }
    }
    if (!serverClock) {
        return XCB_CURRENT_TIME;
    }
    auto value = xcbReply(errors(), xcb_sync_query_counter(c, *serverClock),
                          xcb_sync_query_counter_reply, "reading the server's clock");
    // Server time is 32 bits of milliseconds; the counter's low half is it.
    return value ? static_cast<xcb_timestamp_t>(value->counter_value.lo) : XCB_CURRENT_TIME;
}

// Windows made on this connection carry ids from its own range.
bool X11Desktop::State::ours(xcb_window_t window) const {
    const xcb_setup_t* setup = xcb_get_setup(connection());
    return window != XCB_NONE && (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

// Whether the input focus is on a window that `isIt` accepts, or on a child
// of one (a toolkit's focus proxy).
bool X11Desktop::State::focusIn(const std::function<bool(xcb_window_t)>& isIt) {
    auto focus = xcbReply(errors(), xcb_get_input_focus(connection()), xcb_get_input_focus_reply,
                          "asking for the input focus");
    if (!focus) {
        return false;
    }
    // PointerRoot (1) names no window: the focus follows the pointer's screen.
    xcb_window_t current = focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT ? XCB_NONE : focus->focus;
    for (int depth = 0; depth < 8 && current != XCB_NONE && current != display.root(); ++depth) {
        if (isIt(current)) {
            return true;
        }
        auto tree = xcbReply(errors(), xcb_query_tree(connection(), current), xcb_query_tree_reply,
                             "finding the parent of focused " + windowText(current));
        if (!tree) {
            return false;
        }
        current = tree->parent;
    }
    return false;
}

void X11Desktop::State::waitForFocus(xcb_window_t window) {
    waiter->waitUntil([this, window] { return hasFocus(window); }, kFocusWait);
}

// Whether the pointer is over `window`: the window or one of its children is
// the topmost there, on the way down from the root. A window of ours on the
// way is not it.
bool X11Desktop::State::pointerOver(xcb_window_t window) {
    xcb_connection_t* c = connection();
    xcb_window_t current = display.root();
    for (int depth = 0; depth < 16; ++depth) {
        auto pointer = xcbReply(errors(), xcb_query_pointer(c, current), xcb_query_pointer_reply,
                                "finding the pointer in " + windowText(current));
        if (!pointer || !pointer->same_screen || pointer->child == XCB_NONE) {
            return false;
        }
        current = pointer->child;
        if (ours(current)) {
            return false;
        }
        if (current == window) {
            return true;
        }
    }
    return false;
}

// The middle of the window's part of the root window, in root coordinates;
// nothing when no part of it is there (or it has gone).
std::optional<std::pair<std::int16_t, std::int16_t>> X11Desktop::State::visibleMiddle(
    xcb_window_t window) {
    xcb_connection_t* c = connection();
    const std::string what = "finding the middle of " + windowText(window);
    auto geometry = xcbReply(errors(), xcb_get_geometry(c, window), xcb_get_geometry_reply, what);
    auto corner = xcbReply(errors(), xcb_translate_coordinates(c, window, display.root(), 0, 0),
                           xcb_translate_coordinates_reply, what);
    auto root =
        xcbReply(errors(), xcb_get_geometry(c, display.root()), xcb_get_geometry_reply, what);
    if (!geometry || !corner || !root) {
        return std::nullopt;
    }
    const int left = std::max<int>(corner->dst_x, 0);
    const int top = std::max<int>(corner->dst_y, 0);
    const int right = std::min<int>(corner->dst_x + geometry->width, root->width);
    const int bottom = std::min<int>(corner->dst_y + geometry->height, root->height);
    if (left >= right || top >= bottom) {
        return std::nullopt;
    }
    return std::pair{static_cast<std::int16_t>((left + right) / 2),
                     static_cast<std::int16_t>((top + bottom) / 2)};
}

X11Desktop::X11Desktop(xcb_connection_t* connection, int screen, SystemLog log,
                       std::unique_ptr<Waiter> waiter)
    : state_(std::make_unique<State>(connection, screen, std::move(log), std::move(waiter))) {}

X11Desktop::~X11Desktop() = default;

void X11Desktop::setKeyGuard(KeyGuard guard) {
    state_->keyboard.setGuard(std::move(guard));
}

bool X11Desktop::canSendKeys() const {
    return state_->keyboard.available();
}

std::vector<TopLevelWindow> X11Desktop::topLevelWindows() {
    return listTopLevelWindows(state_->display);
}

void X11Desktop::makeTopMost(WindowId window) {
    X11Display& display = state_->display;
    xcb_connection_t* connection = display.connection();
    const auto target = static_cast<xcb_window_t>(window);
    if (display.windowManagerRunning()) {
        xcb_ewmh_request_change_wm_state(display.ewmh(), display.screenNumber(), target,
                                         XCB_EWMH_WM_STATE_ADD, display.ewmh()->_NET_WM_STATE_ABOVE,
                                         XCB_NONE, kSourcePager);
    }
    // Without a window manager this is the whole raise; with one, it is a
    // request that puts the window on top of its (now above-others) layer.
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    display.errors().check(
        xcb_configure_window_checked(connection, target, XCB_CONFIG_WINDOW_STACK_MODE, &above),
        LogLevel::Debug, "raising " + windowText(target));
}

void X11Desktop::releaseTopMost(WindowId window) {
    X11Display& display = state_->display;
    xcb_connection_t* connection = display.connection();
    const auto target = static_cast<xcb_window_t>(window);
    if (display.windowManagerRunning()) {
        xcb_ewmh_request_change_wm_state(
            display.ewmh(), display.screenNumber(), target, XCB_EWMH_WM_STATE_REMOVE,
            display.ewmh()->_NET_WM_STATE_ABOVE, XCB_NONE, kSourcePager);
    }
    // A window manager places the frame by the window's gravity, so the
    // decorated window's top-left corner ends at (0, 0) as on Windows.
    const std::uint32_t origin[] = {0, 0};
    display.errors().check(
        xcb_configure_window_checked(connection, target, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                                     origin),
        LogLevel::Debug, "moving " + windowText(target) + " to (0, 0)");
}

void X11Desktop::showWindow(WindowId window) {
    X11Display& display = state_->display;
    xcb_connection_t* connection = display.connection();
    const auto target = static_cast<xcb_window_t>(window);
    // Mapping also asks the window manager to bring an iconified window back.
    display.errors().expect(xcb_map_window_checked(connection, target), LogLevel::Debug,
                            "mapping " + windowText(target));
    if (display.windowManagerRunning()) {
        xcb_ewmh_request_change_active_window(display.ewmh(), display.screenNumber(), target,
                                              kSourcePager, state_->serverTime(), XCB_NONE);
    } else {
        display.errors().expect(
            xcb_set_input_focus_checked(connection, XCB_INPUT_FOCUS_POINTER_ROOT, target,
                                        XCB_CURRENT_TIME),
            LogLevel::Debug, "focusing " + windowText(target));
    }
    display.errors().settle();
    state_->waitForFocus(target);
}

KeySendResult X11Desktop::sendKeys(const std::vector<KeyStroke>& strokes) {
    return state_->keyboard.send(strokes);
}

bool X11Desktop::pointerInto(WindowId window) {
    const auto target = static_cast<xcb_window_t>(window);
    if (state_->pointerOver(target)) {
        return true;
    }
    const auto middle = state_->visibleMiddle(target);
    if (!middle) {
        return false;
    }
    xcb_connection_t* connection = state_->connection();
    state_->errors().check(
        xcb_test_fake_input_checked(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME,
                                    state_->display.root(), middle->first, middle->second, 0),
        LogLevel::Warning, "moving the pointer into " + windowText(target));
    // The look answers after the server has moved the pointer.
    return state_->pointerOver(target);
}

WindowId X11Desktop::activeWindow() {
    std::set<xcb_window_t> listed;
    for (const TopLevelWindow& window : topLevelWindows()) {
        listed.insert(static_cast<xcb_window_t>(window.id));
    }
    xcb_window_t active = XCB_NONE;
    state_->focusIn([&](xcb_window_t window) {
        if (listed.count(window) == 0) {
            return false;
        }
        active = window;
        return true;
    });
    return active == XCB_NONE || state_->ours(active) ? 0 : static_cast<WindowId>(active);
}

bool X11Desktop::ownWindowHasKeyboard() {
    return state_->focusIn([this](xcb_window_t window) { return state_->ours(window); });
}

bool X11Desktop::setUpKey(KeyAction action, std::optional<HotKey> key, WindowId) {
    return state_->keyGrabs.take(action, key);
}

std::optional<KeyAction> X11Desktop::keyActionOf(const void* nativeEvent) {
    return state_->keyGrabs.actionOf(nativeEvent);
}

}  // namespace quindorel
