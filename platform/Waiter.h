#pragma once

// Waiting for the desktop to catch up with a request: a window coming to
// the front, the pointer arriving over it, a button event being taken. Such
// waits last a few hundred milliseconds at most. The program waits with its
// event loop running, so that its window keeps painting and nothing of it
// freezes; programs without an event loop (the back ends' own tests) sleep.

#include <chrono>
#include <functional>

namespace quindorel {

class Waiter {
public:
    virtual ~Waiter() = default;

    // Looks at `done` now and then, until it is true or `limit` has passed.
    // Whether it came true. A `done` that is never true makes a pause.
    virtual bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;
};

// Sleeps between looks, a couple of milliseconds at a time.
class SleepingWaiter final : public Waiter {
public:
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;
};

}  // namespace quindorel
