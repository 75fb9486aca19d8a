#pragma once

namespace quindorel {

// The stop key as a desktop's own global shortcut (KDE's), which works in
// every window; its presses come to the program another way (a signal).
class DesktopStopKey {
public:
    virtual ~DesktopStopKey() = default;
    // Asks the desktop for Ctrl+Shift+S; false when another program has it.
    // Asking again keeps it.
    virtual bool take() = 0;
};

}  // namespace quindorel
