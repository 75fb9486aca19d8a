#include "hold/HoldStatus.h"

#include "common/RuntimeError.h"
#include "hold/ClockCounts.h"
#include "hold/Durations.h"
#include "hold/UserChoices.h"
#include "platform/Clock.h"

namespace quindorel {

HoldStatusReader::HoldStatusReader(const UserChoices& choices, const ClockCounts& counts,
                                   const Durations& durations, const Clock& holdClock)
    : choices_(choices), counts_(counts), durations_(durations), holdClock_(holdClock) {}

HoldStatus HoldStatusReader::read(const std::vector<std::uint8_t>& held, WindowId heldIn,
                                  bool waitingForKeyboard) const {
    if (!held.empty()) {
        return holding(held, heldIn);
    }
    if (waitingForKeyboard) {
        HoldStatus status;
        status.phase = HoldStatus::Phase::Waiting;
        return status;
    }
    return waiting();
}

HoldStatus HoldStatusReader::holding(const std::vector<std::uint8_t>& held, WindowId heldIn) const {
    HoldStatus status;
    status.phase = HoldStatus::Phase::Holding;
    status.keys = held;
    status.window = heldIn;
    // The hold clock counts only while the switch is off.
    if (choices_.mode() == UserChoices::Mode::Timed && !choices_.switchOn() &&
        holdClock_.running()) {
        try {
            const int left = durations_.selectedHoldSeconds() - counts_.holdTicks;
            status.secondsLeft = left > 0 ? left : -1;
        } catch (const RuntimeError&) {
            // No row: no length counts.
        }
    }
    return status;
}

HoldStatus HoldStatusReader::waiting() const {
    HoldStatus status;
    if (!choices_.switchOn()) {
        return status;
    }
    // The wait clock presses when its count equals the waiting time; a
    // time already passed, or one that is no number, never presses.
    try {
        const int wait = durations_.waitSeconds();
        if (counts_.waitTicks < wait) {
            status.phase = HoldStatus::Phase::Waiting;
            status.secondsLeft = wait - counts_.waitTicks;
        }
    } catch (const RuntimeError&) {
        // Out of range: never presses.
    }
    return status;
}

}  // namespace quindorel
