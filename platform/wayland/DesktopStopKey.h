#pragma once

#include <functional>

namespace quindorel {

// The stop key as a desktop's own global shortcut (KDE's, or the portal's),
// which works in every window; its presses come to the program as calls of
// `pressed`, from the event loop.
class DesktopStopKey {
public:
    virtual ~DesktopStopKey() = default;
    std::function<void()> pressed;
    // Called when a desktop that answers later finds that another program
    // has the key, after `take` said true.
    std::function<void()> takenLater;
    // Asks the desktop for Ctrl+Shift+S; false when another program has it.
    // Asking again keeps it.
    virtual bool take() = 0;
};

}  // namespace quindorel
