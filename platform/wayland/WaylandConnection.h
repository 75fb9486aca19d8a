#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/wayland/WaylandToplevels.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_virtual_pointer_manager_v1;
struct org_kde_kwin_fake_input;

namespace quindorel {

// Whether a global of this interface name is one of KWin's own. wlroots
// desktops offer two of KDE's protocols as well (server-side decorations,
// idle), so those tell nothing.
bool isKwinGlobal(std::string_view interface);

// The program's own connection to the Wayland compositor, apart from Qt's
// (which may not exist: Qt runs on xcb whenever it can). It binds the seat
// and the managers of the wlroots protocols that reach other windows, or
// KWin's fake input. Round
// trips happen only in open(); afterwards whoever owns the event loop calls
// dispatch() when fd() is readable.
class WaylandConnection {
public:
    struct Globals {
        wl_seat* seat = nullptr;
        zwp_virtual_keyboard_manager_v1* virtualKeyboards = nullptr;
        zwlr_virtual_pointer_manager_v1* virtualPointers = nullptr;
        org_kde_kwin_fake_input* fakeInput = nullptr;  // KWin's keys, buttons and pointer
        bool kwin = false;  // the compositor is KWin (it offers globals of its own)
    };
    // What the seat's keyboard told its clients: the keymap (XKB text, empty
    // when the seat has no keyboard) and how its clients repeat held keys.
    struct SeatKeyboard {
        std::string keymap;
        std::int32_t repeatRate = -1;   // keys a second, 0: no repeat; -1: not told
        std::int32_t repeatDelay = -1;  // ms
    };

    // Connects to `name` (nullptr: WAYLAND_DISPLAY) and learns the globals and
    // the seat keyboard; nullptr when no compositor answers.
    static std::unique_ptr<WaylandConnection> open(const char* name = nullptr);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    int fd() const;
    // Reads what the compositor sent, without waiting, handles it and sends
    // what is queued. False once the connection is lost (the compositor ended,
    // or it found a protocol error of ours).
    bool dispatch();
    // Sends what is queued. False once the connection is lost.
    bool flush();
    // Waits until the compositor has handled every request sent so far; for
    // set-up and tests only.
    bool roundtrip();
    // The same, at most `limitMs`: a compositor drops what a client sent
    // just before it ended unread, so key-ups are settled before anything
    // may end the program. Whether the compositor answered in time.
    bool settle(int limitMs);

    wl_display* display() const { return display_; }
    const Globals& globals() const { return globals_; }
    const SeatKeyboard& seatKeyboard() const { return seatKeyboard_; }
    // The native windows; empty where the compositor does not tell them.
    WaylandToplevels& toplevels() { return toplevels_; }

private:
    explicit WaylandConnection(wl_display* display) : display_(display) {}
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version);
    static void onSeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void onKeymap(void* data, wl_keyboard* keyboard, std::uint32_t format, int fd,
                         std::uint32_t size);
    static void onRepeatInfo(void* data, wl_keyboard* keyboard, std::int32_t rate,
                             std::int32_t delay);

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    Globals globals_;
    SeatKeyboard seatKeyboard_;
    WaylandToplevels toplevels_;
};

}  // namespace quindorel
