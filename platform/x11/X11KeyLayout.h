#pragma once

#include <xcb/xcb.h>

#include <utility>

#include "platform/xkb/XkbKeyLayout.h"

#include "platform/x11/XcbErrors.h"

namespace quindorel {

// Which keycode a marked key is, on the keyboard that XTEST sends from. That
// keyboard has a keymap of its own: Xwayland keeps it apart from the real
// keyboard's (a US map beside a French one), so looking keys up in the core
// map can pick a key that the XTEST keyboard reads as another letter. The
// rule is XkbKeyLayout's.
class X11KeyLayout : public XkbKeyLayout {
public:
    // The keymap and the active layout of `device` (an XKB device id, the
    // XTEST keyboard), or of the core keymap when XKB cannot say.
    static X11KeyLayout fetch(const XcbErrors& errors, int device);
    // The XInput id of the XTEST keyboard, or the core keyboard's XKB id when
    // there is none; -1 without XKB.
    static int xtestKeyboard(const XcbErrors& errors);

private:
    X11KeyLayout() = default;
    explicit X11KeyLayout(XkbKeyLayout layout) : XkbKeyLayout(std::move(layout)) {}
};

}  // namespace quindorel
