#include "platform/Waiter.h"

#include <thread>

namespace quindorel {

namespace {

// Short enough that a window taking the focus is seen at once, long enough
// not to keep a core busy.
constexpr auto kLookEvery = std::chrono::milliseconds(2);

}  // namespace

bool SleepingWaiter::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kLookEvery);
    }
    return true;
}

}  // namespace quindorel
