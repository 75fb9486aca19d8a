#pragma once

#include "platform/SystemLog.h"
#include "platform/wayland/NativeWindows.h"
#include "platform/wayland/SwayIpc.h"

namespace quindorel {

class WaylandConnection;

// The native windows of a wlroots desktop: listed and activated through
// foreign-toplevel; on Sway, where they lie and moving floating ones through
// its IPC (`sway` may be null). Windows whose app id is `ownAppId` are ours.
class WlrootsWindows : public NativeWindows {
public:
    WlrootsWindows(WaylandConnection& connection, SwayIpc* sway, std::string ownAppId,
                   SystemLog log);

    std::vector<Window> list() override;
    bool activate(WindowId window) override;
    // Only a floating window moves: a tiled one stays where the user tiled it.
    void lower(WindowId window) override;
    // The visible point nearest the window's middle, never over one of ours.
    std::optional<PointerSpot> pointerSpot(WindowId window) override;

private:
    // Sway's entry for a native window, by app id and title.
    const SwayIpc::Window* swayWindowOf(WindowId window, const SwayIpc::Tree& tree);

    WaylandConnection& connection_;
    SwayIpc* sway_;
    std::string ownAppId_;
    SystemLog log_;
};

}  // namespace quindorel
