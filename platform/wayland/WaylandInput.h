#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/NativeDesktop.h"
#include "platform/xkb/XkbKeyLayout.h"
#include "platform/xkb/XkbPtr.h"

struct zwp_virtual_keyboard_v1;
struct zwlr_virtual_pointer_v1;
struct org_kde_kwin_fake_input;

namespace quindorel {

class WaylandConnection;

// The program's virtual keyboard and pointer on a wlroots desktop, or KWin's
// fake input. There is one keyboard for the whole run: on Sway, destroying
// it takes the seat's keyboard away from every window. Keys and buttons go to
// whatever window has the keyboard or is under the pointer.
class WaylandInput {
public:
    // nullptr when the compositor offers neither a virtual keyboard nor
    // KWin's fake input (which KWin shows only to programs it lets in), or no keymap
    // compiles. The pointer comes with the first button or move, where the
    // compositor offers one.
    static std::unique_ptr<WaylandInput> create(WaylandConnection& connection);
    ~WaylandInput();
    WaylandInput(const WaylandInput&) = delete;
    WaylandInput& operator=(const WaylandInput&) = delete;

    // Sends the strokes in order, keys as evdev codes (the system key of a
    // key) and mouse buttons as BTN_ codes (a button's system key), then
    // flushes. Refused when the connection is lost.
    KeySendResult send(const std::vector<KeyStroke>& strokes);
    // The evdev or BTN_ code a stroke goes as; nothing when it has none here.
    std::optional<SystemKey> codeFor(const KeyStroke& stroke) const;
    // Whether the compositor keeps our keys down, not just our buttons,
    // should the program die (KWin's fake input does; wlroots lets go of a
    // virtual keyboard's keys).
    bool keysOutliveUs() const { return fakeInput_ != nullptr; }
    // Gives the keyboard its keymap again: Sway puts one compiled from its
    // own configuration on a virtual keyboard whenever its input settings
    // change, which would give our keys another layout's meaning.
    bool giveKeymap();
    // Moves the pointer to (x, y) of the desktop's `width` x `height` area;
    // false without a virtual pointer.
    bool movePointer(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height);

private:
    WaylandInput(WaylandConnection& connection, XkbPtr<xkb_keymap> keymap);
    std::optional<SystemKey> sendKey(const KeyStroke& stroke, std::uint32_t time);
    static std::unique_ptr<WaylandInput> createFake(WaylandConnection& connection);
    std::optional<SystemKey> sendButton(const KeyStroke& stroke, std::uint32_t time);
    bool ensurePointer();

    WaylandConnection& connection_;
    XkbPtr<xkb_keymap> keymap_;
    // The modifiers our keys hold: wlroots does not work them out from the
    // keys of a virtual keyboard, the keyboard says them.
    XkbPtr<xkb_state> state_;
    XkbKeyLayout layout_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    org_kde_kwin_fake_input* fakeInput_ = nullptr;  // the connection's
};

}  // namespace quindorel
