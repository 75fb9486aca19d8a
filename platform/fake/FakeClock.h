#pragma once

#include "platform/Clock.h"

namespace quindorel {

// A clock that ticks only when a test says so.
class FakeClock : public Clock {
public:
    void setInterval(int milliseconds) override { interval_ = milliseconds; }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool enabled() const override { return enabled_; }

    // Fires one tick if the clock is running; returns whether it fired.
    bool tick() {
        if (!running()) {
            return false;
        }
        fire();
        return true;
    }

private:
    int interval_ = 0;
    bool enabled_ = true;
};

}  // namespace quindorel
