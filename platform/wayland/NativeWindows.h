#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// Where the pointer goes for a window: a point of it that no other window
// covers, in the desktop's `width` x `height` area (WaylandInput::movePointer).
struct PointerSpot {
    std::uint32_t x = 0, y = 0, width = 0, height = 0;
};

// A window's place on the desktop, in a stacking order.
struct StackedRect {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool own = false;  // one of this program's windows
};

// The point of `stacked[target]` nearest its middle, on a grid over it, that
// no window above it covers: where the pointer goes so that a button reaches
// that window and never one of ours. `stacked` runs bottom to top. Nothing
// when the window is ours, empty, or covered whole.
std::optional<std::pair<std::int32_t, std::int32_t>> visiblePointNearMiddle(
    const std::vector<StackedRect>& stacked, std::size_t target);

// The native windows of a Wayland desktop, however it tells them: the
// wlroots protocols (WlrootsWindows) or a KWin script over D-Bus. Ids are
// negative, so that they never clash with X11's.
class NativeWindows {
public:
    struct Window {
        WindowId id = 0;
        std::string title;  // cut as the program shows titles (cutTitle)
        bool active = false;
        bool minimized = false;
        bool own = false;                       // one of this program's windows
        WindowKind kind = WindowKind::Unknown;  // what the desktop says it is
        WindowId x11Window = 0;                 // an Xwayland window's X11 id, where told
    };
    virtual ~NativeWindows() = default;

    virtual std::vector<Window> list() = 0;
    // Asks the desktop to give the window the keyboard; false when there is
    // no such window.
    virtual bool activate(WindowId window) = 0;
    // Gives the window the keyboard and puts it above the others, where the
    // desktop lets a program do so; false when there is no such window.
    virtual bool raise(WindowId window) { return activate(window); }
    // Back among the others, its top-left corner moved to the desktop's,
    // where the desktop lets a program do so.
    virtual void lower(WindowId) {}
    // Whether an act asked for above is still on its way to the desktop:
    // keys sent now would reach the window in front before it.
    virtual bool acting() const { return false; }
    // Called from the event loop once the last act on its way is done with.
    std::function<void()> actsDone;
    // Where the pointer goes for buttons meant for the window; nothing when
    // the desktop does not tell where windows lie, or the window is covered.
    virtual std::optional<PointerSpot> pointerSpot(WindowId) { return std::nullopt; }

    // The listed window that has the keyboard, 0 when none of these has it.
    WindowId activeWindow() {
        for (const Window& window : list()) {
            if (window.active) {
                return window.id;
            }
        }
        return 0;
    }
};

}  // namespace quindorel
