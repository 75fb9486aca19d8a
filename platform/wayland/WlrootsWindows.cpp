#include "platform/wayland/WlrootsWindows.h"

#include <unistd.h>

#include "platform/wayland/WaylandConnection.h"

namespace quindorel {

WlrootsWindows::WlrootsWindows(WaylandConnection& connection, SwayIpc* sway, std::string ownAppId,
                               SystemLog log)
    : connection_(connection), sway_(sway), ownAppId_(std::move(ownAppId)), log_(std::move(log)) {}

std::vector<NativeWindows::Window> WlrootsWindows::list() {
    // Which are Xwayland's is asked of Sway once for each change told.
    if (sway_ && pairedAt_ != connection_.toplevels().changes()) {
        pairedTree();
    }
    std::vector<Window> windows;
    for (const WaylandToplevel& toplevel : connection_.toplevels().list()) {
        const SwayPairs::Kind kind = sway_ ? pairs_.kindOf(toplevel.id) : SwayPairs::Kind{};
        windows.push_back({toplevel.id, toplevel.title, toplevel.activated, toplevel.minimized,
                           !ownAppId_.empty() && toplevel.appId == ownAppId_, kind.kind,
                           static_cast<WindowId>(kind.x11Window)});
    }
    return windows;
}

std::optional<SwayIpc::Tree> WlrootsWindows::pairedTree() {
    // The toplevels as the compositor told them just before and just after
    // Sway wrote the tree.
    connection_.roundtrip();
    const std::vector<WaylandToplevel> before = connection_.toplevels().list();
    auto tree = sway_->tree();
    if (!tree) {
        return std::nullopt;
    }
    connection_.roundtrip();
    pairs_.update(before, connection_.toplevels().list(), tree->windows);
    pairedAt_ = connection_.toplevels().changes();
    return tree;
}

bool WlrootsWindows::activate(WindowId window) {
    return connection_.toplevels().activate(window, connection_.globals().seat) &&
           connection_.flush();
}

void WlrootsWindows::lower(WindowId window) {
    const auto tree = sway_ ? pairedTree() : std::nullopt;
    const SwayIpc::Window* swayWindow = tree ? swayWindowOf(window, *tree) : nullptr;
    if (swayWindow != nullptr && swayWindow->floating) {
        sway_->run("[con_id=" + std::to_string(swayWindow->conId) + "] move position 0 0");
    }
}

const SwayIpc::Window* WlrootsWindows::swayWindowOf(WindowId window, const SwayIpc::Tree& tree) {
    if (const auto container = pairs_.containerOf(window)) {
        for (const SwayIpc::Window& swayWindow : tree.windows) {
            if (swayWindow.conId == *container) {
                return &swayWindow;
            }
        }
    }
    log_.write(LogTopic::Wayland, LogLevel::Warning,
               "Sway's windows do not tell which is native window " + std::to_string(window) +
                   " (another looks the same, with its app id and title): it is neither "
                   "moved nor pointed into");
    return nullptr;
}

std::optional<PointerSpot> WlrootsWindows::pointerSpot(WindowId window) {
    const auto tree = sway_ ? pairedTree() : std::nullopt;
    const SwayIpc::Window* target = tree ? swayWindowOf(window, *tree) : nullptr;
    if (target == nullptr || target->rect.width <= 0 || target->rect.height <= 0 ||
        tree->layout.width <= 0 || tree->layout.height <= 0) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "where native window " + std::to_string(window) + " lies is not known" +
                       (sway_ ? "" : " without Sway's IPC"));
        return std::nullopt;
    }
    // Sway's order runs tiled windows first, then floating ones bottom to top.
    std::vector<StackedRect> stacked;
    std::size_t at = 0;
    for (const SwayIpc::Window& swayWindow : tree->windows) {
        if (&swayWindow == target) {
            at = stacked.size();
        }
        stacked.push_back({swayWindow.rect.x, swayWindow.rect.y, swayWindow.rect.width,
                           swayWindow.rect.height, swayWindow.pid == getpid()});
    }
    const auto best = visiblePointNearMiddle(stacked, at);
    if (!best) {
        log_.write(LogTopic::Wayland, LogLevel::Debug,
                   "native window " + std::to_string(window) + " is covered");
        return std::nullopt;
    }
    const auto [x, y] = *best;
    return PointerSpot{static_cast<std::uint32_t>(x - tree->layout.x),
                       static_cast<std::uint32_t>(y - tree->layout.y),
                       static_cast<std::uint32_t>(tree->layout.width),
                       static_cast<std::uint32_t>(tree->layout.height)};
}

}  // namespace quindorel
