#include "platform/wayland/SwayPairs.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "platform/WindowTitle.h"

namespace quindorel {

namespace {

using Key = std::pair<std::string, std::string>;  // app id, cut title

Key keyOf(const SwayIpc::Window& window) {
    return {window.xwayland ? window.x11Class : window.appId, cutTitle(window.title)};
}

Key keyOf(const WaylandToplevel& toplevel) {
    return {toplevel.appId, toplevel.title};
}

}  // namespace

void SwayPairs::update(const std::vector<WaylandToplevel>& before,
                       const std::vector<WaylandToplevel>& after,
                       const std::vector<SwayIpc::Window>& windows) {
    const auto toldBefore = [&](const WaylandToplevel& toplevel) {
        return std::find_if(before.begin(), before.end(),
                            [&](const auto& t) { return t.id == toplevel.id; });
    };
    const std::vector<WaylandToplevel>& toplevels = after;
    // Pairs of windows that have gone go with them.
    std::erase_if(pairs_, [&](const auto& pair) {
        return std::none_of(toplevels.begin(), toplevels.end(),
                            [&](const WaylandToplevel& t) { return t.id == pair.first; }) ||
               std::none_of(windows.begin(), windows.end(),
                            [&](const SwayIpc::Window& w) { return w.conId == pair.second; });
    });
    kinds_.clear();
    std::set<std::int64_t> taken;
    for (const auto& [toplevel, container] : pairs_) {
        taken.insert(container);
    }
    std::map<Key, std::vector<const WaylandToplevel*>> openToplevels;
    for (const WaylandToplevel& toplevel : toplevels) {
        if (!pairs_.contains(toplevel.id)) {
            openToplevels[keyOf(toplevel)].push_back(&toplevel);
        }
    }
    std::map<Key, std::vector<const SwayIpc::Window*>> openWindows;
    for (const SwayIpc::Window& window : windows) {
        if (!taken.contains(window.conId)) {
            openWindows[keyOf(window)].push_back(&window);
        }
    }
    for (auto& [key, sameToplevels] : openToplevels) {
        auto& sameWindows = openWindows[key];
        const auto pair = [&](const WaylandToplevel* toplevel, const SwayIpc::Window* window) {
            pairs_[toplevel->id] = window->conId;
            std::erase(sameToplevels, toplevel);
            std::erase(sameWindows, window);
        };
        const auto stable = [&](const WaylandToplevel* t) {
            return toldBefore(*t) != before.end();
        };
        // The one in front on both sides: a seat focuses one window at a time.
        const auto activated = std::find_if(
            sameToplevels.begin(), sameToplevels.end(),
            [&](const auto* t) { return t->activated && stable(t) && toldBefore(*t)->activated; });
        const auto focused = std::find_if(sameWindows.begin(), sameWindows.end(),
                                          [](const auto* w) { return w->focused; });
        if (activated != sameToplevels.end() && focused != sameWindows.end()) {
            pair(*activated, *focused);
        }
        // The last one of its look on both sides.
        if (sameToplevels.size() == 1 && sameWindows.size() == 1 && stable(sameToplevels.front())) {
            pair(sameToplevels.front(), sameWindows.front());
        }
        // Those left over are what all their look-alikes are, if they agree.
        const auto all = [&](bool xwayland) {
            return !sameWindows.empty() &&
                   std::all_of(sameWindows.begin(), sameWindows.end(),
                               [&](const auto* w) { return w->xwayland == xwayland; });
        };
        const Kind leftOver = {all(true)    ? WindowKind::Xwayland
                               : all(false) ? WindowKind::Native
                                            : WindowKind::Unknown,
                               0};
        for (const WaylandToplevel* toplevel : sameToplevels) {
            kinds_[toplevel->id] = leftOver;
        }
    }
    for (const auto& [toplevel, container] : pairs_) {
        const auto window = std::find_if(windows.begin(), windows.end(),
                                         [&](const auto& w) { return w.conId == container; });
        kinds_[toplevel] = {window->xwayland ? WindowKind::Xwayland : WindowKind::Native,
                            window->xwayland ? window->x11Window : 0};
    }
}

SwayPairs::Kind SwayPairs::kindOf(WindowId toplevel) const {
    const auto found = kinds_.find(toplevel);
    return found == kinds_.end() ? Kind{} : found->second;
}

std::optional<std::int64_t> SwayPairs::containerOf(WindowId toplevel) const {
    const auto found = pairs_.find(toplevel);
    return found == pairs_.end() ? std::nullopt : std::optional(found->second);
}

}  // namespace quindorel
