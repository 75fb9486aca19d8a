#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// Synthetic key events through the XTEST extension, by Windows virtual-key
// code. A keysym that no key of the current keymap produces is bound for the
// moment to a spare keycode; the binding stays while the key is down and is
// undone right after its key-up, so no key is ever left down on a keycode
// that has lost its meaning.
class X11Keyboard {
public:
    explicit X11Keyboard(xcb_connection_t* connection);

    // False when the server lacks XTEST: key events then go nowhere.
    bool available() const { return available_; }

    // Sends the events back to back and flushes once.
    void send(const std::vector<KeyStroke>& strokes);

    // The keycode that produces `keysym` with the fewest modifiers.
    std::optional<xcb_keycode_t> keycodeFor(std::uint32_t keysym);

    // The modifier bit that Num_Lock sets (Mod2 on usual keymaps).
    std::uint16_t numLockMask();

private:
    class Keymap;
    Keymap fetchKeymap();
    void fakeKey(xcb_keycode_t keycode, bool down);
    void remap(Keymap& keymap, xcb_keycode_t keycode, xcb_keysym_t keysym);

    xcb_connection_t* connection_;
    bool available_ = false;
    std::map<std::uint32_t, xcb_keycode_t> borrowed_;
};

}  // namespace quindorel
