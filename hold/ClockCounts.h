#pragma once

#include <cstdint>

namespace quindorel {

// The counts and lengths the two one-second clocks work with. All clocks count
// ticks, not elapsed time.
struct ClockCounts {
    std::int32_t waitSeconds = 0;        // waiting time in force, in wait-clock ticks
    std::int32_t waitTicks = 0;          // wait-clock ticks since the switch went on
    std::int32_t holdSeconds = 0;        // hold length in force, in hold-clock ticks
    std::int32_t holdTicks = 0;          // hold-clock ticks since the last timed
                                         // press or a click in "Hold for..."
    std::int32_t customHoldSeconds = 0;  // what "X seconds" stands for; 16-bit range
};

}  // namespace quindorel
