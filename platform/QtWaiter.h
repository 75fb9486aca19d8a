#pragma once

#include "platform/Waiter.h"

namespace quindorel {

// Waits in a local event loop: timers, repaints and queued calls go on,
// while the user's input and other sockets' traffic wait until it ends (so
// no click or command lands in the middle of a hold's pass).
class QtWaiter final : public Waiter {
public:
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;
};

}  // namespace quindorel
