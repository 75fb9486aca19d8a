#pragma once

#include <functional>

#include "platform/NativeDesktop.h"

namespace quindorel {

// The key actions as a desktop's own global shortcuts (KDE's, or the
// portal's), which work in every window: Ctrl+Shift+S for the stop, and
// where the desktop offers it, "Start or stop the hold" with the key the
// user gives it in the desktop's settings. Their presses come to the
// program as calls of `pressed`, from the event loop.
class DesktopShortcuts {
public:
    virtual ~DesktopShortcuts() = default;
    std::function<void(KeyAction)> pressed;
    // Called when a desktop that answers later finds that another program
    // has the stop key, after `take` said true.
    std::function<void()> takenLater;
    // Asks the desktop for Ctrl+Shift+S, and offers the start/stop action;
    // false when another program has Ctrl+Shift+S. Asking again keeps them.
    virtual bool take() = 0;
    // Where the user gives the start/stop action its key, in the desktop's
    // words; empty where the desktop offers no such action.
    virtual const char* toggleKeyPlace() const { return ""; }
};

}  // namespace quindorel
