#pragma once

#include "platform/SystemLog.h"
#include "platform/wayland/NativeWindows.h"
#include "platform/wayland/SwayIpc.h"
#include "platform/wayland/SwayPairs.h"

namespace quindorel {

class WaylandConnection;

// The native windows of a wlroots desktop: listed and activated through
// foreign-toplevel; on Sway, where they lie and moving floating ones through
// its IPC (`sway` may be null), and which are Xwayland's. Windows whose app
// id is `ownAppId` are ours. A window is never known by its title: where
// Sway's windows and the toplevels cannot be paired (SwayPairs), nothing is
// moved and no pointer goes to it.
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
    // Sway's tree, with the toplevels paired to its windows anew.
    std::optional<SwayIpc::Tree> pairedTree();
    // Sway's entry for a native window: the one paired with its handle;
    // null, and the log says why, when none is.
    const SwayIpc::Window* swayWindowOf(WindowId window, const SwayIpc::Tree& tree);

    WaylandConnection& connection_;
    SwayIpc* sway_;
    SwayPairs pairs_;
    std::optional<std::uint64_t> pairedAt_;  // the toplevels' changes when last paired
    std::string ownAppId_;
    SystemLog log_;
};

}  // namespace quindorel
