#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/wayland/SwayIpc.h"
#include "platform/wayland/WaylandToplevels.h"

namespace quindorel {

// Which of Sway's containers each foreign-toplevel handle is. The protocol
// carries no container id and Sway 1.7's tree no handle, so they are paired
// by what both tell, never by a guess: a handle is its container when it is
// the only one of its app id and title on both sides (an Xwayland view's app
// id is its X11 class), or when it is the one the compositor calls activated
// and the container is the one Sway calls focused. Look-alike windows that
// neither tells apart stay unpaired; a pair once made holds for as long as
// both live (Sway never reuses a container id).
class SwayPairs {
public:
    // Pairs what Sway's windows and the toplevels as told `before` and
    // `after` the tree was read let pair. Only a toplevel told both times
    // surely had its window in the tree (a window and its handle come and go
    // together), and only one activated both times was surely the focused
    // one: the others are left for a later update.
    void update(const std::vector<WaylandToplevel>& before,
                const std::vector<WaylandToplevel>& after,
                const std::vector<SwayIpc::Window>& windows);

    std::optional<std::int64_t> containerOf(WindowId toplevel) const;
    // What the toplevel is, as of the last update: paired, what its container
    // is (and an Xwayland window's X11 id); else what every container of its
    // look is, if they agree.
    struct Kind {
        WindowKind kind = WindowKind::Unknown;
        std::uint32_t x11Window = 0;
    };
    Kind kindOf(WindowId toplevel) const;

private:
    std::map<WindowId, std::int64_t> pairs_;
    std::map<WindowId, Kind> kinds_;
};

}  // namespace quindorel
