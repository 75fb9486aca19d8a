#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/KeyGuard.h"
#include "platform/NativeDesktop.h"
#include "platform/x11/XcbErrors.h"

namespace quindorel {

// A mouse button pressed through XTEST, as the program keeps it: its X button
// number (1 left, 2 middle, 3 right, 8 back, 9 forward) above every keycode.
inline constexpr SystemKey kButtonKeyBase = 0x100;

// Synthetic key events through the XTEST extension, by Windows virtual-key
// code, looked up in the XTEST keyboard's own keymap (X11KeyLayout says
// which key is which). A key-up that names the keycode its key-down went to
// is sent there, whatever the keymap has become since. A keysym that no key
// of the keymap produces is bound for the moment to a spare keycode; the
// binding stays while the key is down and is undone right after its key-up,
// so no key is ever left down on a keycode that has lost its meaning. While
// a key is down its own auto-repeat is off, so the target sees one key-down,
// as from a key held on Windows; the key gets its setting back with its
// key-up. Other keys are never touched. The mouse buttons' codes go as
// XTEST button events of the core pointer. An X error of a request that
// changes the server's keymap, key settings or input is logged as a warning.
class X11Keyboard {
public:
    explicit X11Keyboard(XcbErrors& errors);

    // False when the server lacks XTEST: key events then go nowhere.
    bool available() const { return available_; }

    // Sends the events back to back and waits until the server has them.
    // Each stroke's SystemKey is the keycode it went to, or the button's key.
    KeySendResult send(const std::vector<KeyStroke>& strokes);

    // The process that lets go of our keys should this one die with some down.
    void setGuard(KeyGuard guard) { guard_ = std::move(guard); }

    // The keycode that produces `keysym` with the fewest modifiers, in the
    // core keymap (the one that key grabs go by).
    std::optional<xcb_keycode_t> keycodeFor(std::uint32_t keysym);

    // The modifier bit that Num_Lock sets (Mod2 on usual keymaps).
    std::uint16_t numLockMask();

private:
    struct Event {
        xcb_keycode_t keycode;  // or the X button
        bool down;
        bool modifier;
        bool button = false;
    };
    // The events, with the auto-repeat of the keys they put down off
    // (`repeating`: the setting before), back to back; returns once the
    // server has handled them.
    void putOut(const std::vector<Event>& events, const std::array<std::uint8_t, 32>& repeating);
    void fakeInput(std::uint8_t type, std::uint8_t detail);
    void remap(xcb_keycode_t keycode, xcb_keysym_t keysym);
    // One bit per keycode: whether the key's own auto-repeat is on.
    std::array<std::uint8_t, 32> repeatingKeys();
    void setRepeat(xcb_keycode_t keycode, bool on);

    XcbErrors& errors_;
    xcb_connection_t* connection_;
    bool available_ = false;
    int xtestKeyboard_ = -2;              // its XKB device id, once asked; -1 without XKB
    std::set<xcb_keycode_t> borrowed_;    // spare keycodes lent to a keysym while it is down
    std::map<xcb_keycode_t, bool> held_;  // down through us -> its auto-repeat was on
    KeyGuard guard_;
};

}  // namespace quindorel
