#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

class Clock;
class Durations;
class UserChoices;
struct ClockCounts;

// What a hold is doing now, for the command line's status.
struct HoldStatus {
    enum class Phase { Idle, Waiting, Holding };
    Phase phase = Phase::Idle;
    // Waiting: seconds until the key-downs; holding: until the key-ups.
    // -1 when no clock counts towards them (forever, a press waiting for
    // the keyboard, or a timed hold whose switch is still on).
    int secondsLeft = -1;
    std::vector<std::uint8_t> keys;  // holding: the virtual keys down, in order
    WindowId window = 0;             // holding: the window they went to
    // Waiting: for the desktop's dialog, which asks the user whether keys
    // may be sent at all, not for a time.
    bool askingPermission = false;
    // Waiting for the desktop: its dialog, or a window it is bringing to
    // the front; the keys go down (or not) when it is done.
    bool waitingForDesktop = false;
    // Idle: why the desktop turned the last start down, when it did (since
    // keys last went down).
    std::string lastRefusal;
};

// Reads the status from the choices, the counts and the hold clock.
class HoldStatusReader {
public:
    HoldStatusReader(const UserChoices& choices, const ClockCounts& counts,
                     const Durations& durations, const Clock& holdClock);

    // `held`: the keys down and their window (none: no hold);
    // `waitingForKeyboard`: a press waits for the keyboard to leave us.
    HoldStatus read(const std::vector<std::uint8_t>& held, WindowId heldIn,
                    bool waitingForKeyboard) const;

private:
    HoldStatus holding(const std::vector<std::uint8_t>& held, WindowId heldIn) const;
    HoldStatus waiting() const;

    const UserChoices& choices_;
    const ClockCounts& counts_;
    const Durations& durations_;
    const Clock& holdClock_;
};

}  // namespace quindorel
