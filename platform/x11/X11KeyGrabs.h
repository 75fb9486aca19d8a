#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <optional>

#include "platform/NativeDesktop.h"

namespace quindorel {

class X11Keyboard;
class XcbErrors;

// The keys of the key actions (Ctrl+Shift+S, the user's start/stop key),
// grabbed on the root window in all four combinations with CapsLock and
// NumLock, so that they work whatever window has the keyboard and never
// reach it. Ctrl+Shift+S acts as it is pressed; the user's start/stop key
// as it comes up, once however long it was held.
class X11KeyGrabs {
public:
    X11KeyGrabs(xcb_connection_t* connection, xcb_window_t root, XcbErrors& errors,
                X11Keyboard& keyboard)
        : connection_(connection), root_(root), errors_(errors), keyboard_(keyboard) {}

    // In place of what the action had; false when another client holds
    // any of the combinations (the action then has no key).
    bool take(KeyAction action, std::optional<HotKey> key);
    std::optional<KeyAction> actionOf(const void* nativeEvent);

private:
    struct Grab {
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
        bool down = false;  // the start/stop key: pressed, and not up yet
    };
    // The lock bits (none, CapsLock, NumLock, both) a grab is made with,
    // each a grab of its own; notes them as the bits a press may carry.
    std::array<std::uint16_t, 4> lockCombinations();
    bool grab(xcb_keycode_t keycode, std::uint16_t modifiers, const char* what);
    void ungrab(const Grab& grab);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    XcbErrors& errors_;
    X11Keyboard& keyboard_;
    std::array<std::optional<Grab>, 2> grabs_;  // by action
    std::uint16_t ignoredLocks_ = 0;            // CapsLock and NumLock
};

}  // namespace quindorel
