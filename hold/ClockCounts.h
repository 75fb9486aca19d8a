#pragma once

#include <cstdint>

namespace quindorel {

// The counts and lengths the two one-second clocks work with, as read. All
// clocks count ticks, not elapsed time.
struct ClockCounts {
    std::int32_t waitSeconds = 0;        // waiting time in force, in wait-clock ticks
    std::int32_t waitTicks = 0;          // wait-clock ticks since the switch went on
    std::int32_t holdSeconds = 0;        // hold length in force, in hold-clock ticks
    std::int32_t holdTicks = 0;          // hold-clock ticks since the last timed
                                         // press or a click in "Hold for..."
    std::int32_t customHoldSeconds = 0;  // what "X seconds" stands for; 16-bit range
};

// The one place the counts change, one verb for each thing a clock or a
// choice does to them; everyone else reads them through `view`.
class ClockCounter {
public:
    const ClockCounts& view() const { return counts_; }

    void setWaitSeconds(std::int32_t seconds) { counts_.waitSeconds = seconds; }
    void restartWait() { counts_.waitTicks = 0; }
    void tickWait() { ++counts_.waitTicks; }

    void setHoldSeconds(std::int32_t seconds) { counts_.holdSeconds = seconds; }
    void restartHold() { counts_.holdTicks = 0; }
    void tickHold() { ++counts_.holdTicks; }

    void setCustomHoldSeconds(std::int32_t seconds) { counts_.customHoldSeconds = seconds; }

private:
    ClockCounts counts_;
};

}  // namespace quindorel
