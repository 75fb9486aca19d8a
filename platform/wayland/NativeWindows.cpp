#include "platform/wayland/NativeWindows.h"

namespace quindorel {

std::optional<std::pair<std::int32_t, std::int32_t>> visiblePointNearMiddle(
    const std::vector<StackedRect>& stacked, std::size_t target) {
    if (target >= stacked.size() || stacked[target].own || stacked[target].width <= 0 ||
        stacked[target].height <= 0) {
        return std::nullopt;
    }
    const StackedRect& r = stacked[target];
    const auto covered = [&](std::int32_t x, std::int32_t y) {
        for (std::size_t above = target + 1; above < stacked.size(); ++above) {
            const StackedRect& o = stacked[above];
            if (x >= o.x && y >= o.y && x < o.x + o.width && y < o.y + o.height) {
                return true;
            }
        }
        return false;
    };
    // Odd, so that the middle itself is on the grid.
    constexpr int kGrid = 15;
    std::optional<std::pair<std::int32_t, std::int32_t>> best;
    std::int64_t bestDistance = 0;
    for (int i = 0; i < kGrid; ++i) {
        for (int j = 0; j < kGrid; ++j) {
            const std::int32_t x =
                r.x + static_cast<std::int32_t>(std::int64_t{r.width} * (2 * i + 1) / (2 * kGrid));
            const std::int32_t y =
                r.y + static_cast<std::int32_t>(std::int64_t{r.height} * (2 * j + 1) / (2 * kGrid));
            const std::int64_t dx = 2 * (x - r.x) - r.width, dy = 2 * (y - r.y) - r.height;
            if ((!best || dx * dx + dy * dy < bestDistance) && !covered(x, y)) {
                best = {x, y};
                bestDistance = dx * dx + dy * dy;
            }
        }
    }
    return best;
}

}  // namespace quindorel
