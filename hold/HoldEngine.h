#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "hold/FocusWait.h"
#include "hold/HeldKeys.h"
#include "hold/HoldStatus.h"
#include "platform/NativeDesktop.h"

namespace quindorel {

class TargetFinder;
class Clock;
class ErrorTrap;
class UserChoices;
class Durations;
class KeySetFile;
class Platform;
class HoldNotices;
class ClockCounter;
struct ClockCounts;

// Presses and releases the key set in the chosen window, and decides when.
//
// The clocks, and the report lines their procedures keep:
// - The wait clock (Timer1, "Form1.Timer1_Timer") ticks every second while
//   the switch is on. Each tick reads the waiting time (102), counts (104) and
//   presses when the count equals it (106, 108): equality, not "at least", so
//   a waiting time lowered below the count already reached never presses.
//   Every "Turn On" starts the count from 0. "Hold Now (Test)"
//   ("Form1.PushButton2_Click") adds one tick at once (104).
// - The hold clock (Timer2, "Form1.Timer2_Timer") is armed by every pass in
//   timed mode (HoldKeys 100) and counts only while the switch is off (100);
//   it releases when its count equals the hold length (106, 108). A press
//   starts its count from 0, and so does a click in "Hold for...".
// - The stop-key clock (Timer3) sets up Ctrl+Shift+S once forever mode is
//   chosen (see StopHotKey); each press of it runs a release pass.
// - The focus clock watches, while a press waits, for the keyboard to leave
//   the program's own window (see FocusWait).
//
// Key-downs the desktop first asks the user about (GNOME's dialog) wait for
// the answer without a pass: the window stays alive meanwhile, and a stop
// withdraws the question. A pass may wait a moment for the desktop (a
// window taking the focus) with the event loop running. A clock tick, the stop key or a close that
// comes meanwhile runs right after the pass: passes never interleave, so a stop never slips in
// between a press's raise and its key-downs.
class HoldEngine {
public:
    enum class Pass { Press, Release };

    struct Clocks {
        Clock* waitClock;     // Timer1
        Clock* holdClock;     // Timer2
        Clock* stopKeyClock;  // Timer3
        Clock* focusClock;    // watches for the keyboard to leave our window
    };

    // The busy pointer and the notices go out through `notices`.
    HoldEngine(Platform& platform, const Clocks& clocks, UserChoices& choices,
               ClockCounter& counter, Durations& durations, TargetFinder& targetFinder,
               const KeySetFile& keySetFile, HoldNotices& notices);

    using Status = HoldStatus;

    // One pass: key-downs (press) or key-ups (release) for every key of the
    // key set, into the selected window, or into `aim` when one is given. A
    // release also lets go of any key that an earlier press put down and
    // that has been unmarked since. Mouse buttons in the key set go like
    // keys, where the pointer is: a press first puts it over the window,
    // and presses no button when it cannot; a release leaves it be.
    void holdKeys(Pass pass, std::optional<WindowId> aim = std::nullopt);
    void waitClockTick();   // Timer1
    void holdClockTick();   // Timer2
    void switchClicked();   // "Turn On" / "Turn Off"
    void holdNowClicked();  // "Hold Now (Test)"
    void optionClicked();   // either option button

    // Sends the key-ups for what press passes put down and no release pass
    // has released since, into the window that got them; used when the
    // program ends.
    void releaseHeldKeys();

    Status status() const;
    // Whether a pass is under way: one that waits for the desktop lets
    // events in meanwhile, and what they ask comes after it.
    bool inPass() const { return passes_ > 0; }
    // Ends the waiting and the hold in either mode: the switch goes off (as
    // "Turn Off" does), every held key comes up, and no clock presses or
    // releases afterwards until the user or a command starts again.
    void stopAll();
    // Runs each time keys that waited for the desktop's permission have
    // their outcome: held, turned down (the notice says why) or withdrawn.
    void onPermissionSettled(std::function<void()> settled) {
        permissionSettled_ = std::move(settled);
    }

private:
    // Counts the passes under way; the last to end runs what came meanwhile.
    class PassScope {
    public:
        explicit PassScope(HoldEngine& engine) : engine_(engine) { ++engine_.passes_; }
        ~PassScope();
        PassScope(const PassScope&) = delete;
        PassScope& operator=(const PassScope&) = delete;

    private:
        HoldEngine& engine_;
    };
    // Keeps `step` for after the pass under way; false when none is.
    bool deferDuringPass(std::function<void()> step);

    void armHoldClock(Pass pass);
    WindowId aimedAt() const;
    void press(ErrorTrap& trap, std::vector<KeyStroke> downs, WindowId target);
    void release(ErrorTrap& trap, std::vector<KeyStroke> ups);
    std::vector<KeyStroke> keySetStrokes(ErrorTrap& trap, Pass pass);
    KeySendResult send(ErrorTrap& trap, const std::vector<KeyStroke>& strokes);
    void sendDowns(ErrorTrap& trap, std::vector<KeyStroke> downs, WindowId target);
    QString windowName(WindowId window) const;
    void focusClockTick();
    void permissionAnswered(bool granted);
    // Drops the keys that wait for the desktop's permission, withdrawing its
    // question.
    void endPermissionWait();
    const ClockCounts& counts() const;

    Platform& platform_;
    Clocks clocks_;
    UserChoices& choices_;
    ClockCounter& counter_;
    Durations& durations_;
    TargetFinder& targetFinder_;
    const KeySetFile& keySetFile_;
    HoldNotices& notices_;
    HeldKeys held_;
    FocusWait focusWait_;
    HoldStatusReader statusReader_;
    int passes_ = 0;
    std::string lastRefusal_;  // the desktop's last no, until keys go down
    // Key-downs that wait for the desktop (its permission, or a window on
    // its way to the front), and who hears the outcome.
    std::optional<FocusWait::Keys> permissionWait_;
    bool waitIsForFront_ = false;
    std::function<void()> permissionSettled_;
    std::deque<std::function<void()>> afterPass_;
};

}  // namespace quindorel
