#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "hold/ClockCounts.h"
#include "hold/Durations.h"
#include "hold/HoldEngine.h"
#include "hold/HoldNotices.h"
#include "hold/StopHotKey.h"
#include "hold/ToggleHotKey.h"
#include "hold/UserChoices.h"
#include "keys/KeySetFile.h"
#include "keys/MarkActions.h"
#include "keys/MarkedKeys.h"
#include "platform/Clock.h"
#include "targets/TargetFinder.h"
#include "targets/TargetRows.h"

namespace quindorel {

class ErrorTrap;
class Platform;

// The whole state of the program without a widget: the marks, the target
// rows, the choices, the counts and what is held, with the procedures that
// change them and the clocks that drive them. Everything a user or a caller
// does is one verb; views read the state through the const getters and hear
// of each change through the signals of what those return (a view connects
// with itself as the context, so one that goes away is disconnected).
class HoldModel {
public:
    HoldModel(Platform& platform, const QString& programFolder);
    HoldModel(const HoldModel&) = delete;
    HoldModel& operator=(const HoldModel&) = delete;

    // Restores every saved choice, as the start-up procedure's statements
    // with their line numbers in `trap`; `mainWindow` is the window that
    // shows the model, never listed as a target.
    void load(ErrorTrap& trap, WindowId mainWindow);
    // Once the window is on screen: asks what "X seconds" stands for when
    // that row was restored, then starts a restored switch's wait clock, or
    // leaves the switch off when no length was given.
    void loadShown(ErrorTrap& trap);

    // What the user does, one call each.
    void toggleKey(int index);                // a click on a key
    void unmarkAllKeys();                     // "Reset (Unmark All Buttons)"
    void markAllKeys();                       // "Mark All Buttons"
    void turnSwitch();                        // "Turn On" / "Turn Off"
    void chooseMode(UserChoices::Mode mode);  // either option button
    void selectHoldRow(int row);              // the "Hold for..." selection moved, before its click
    void chooseHoldRow(int row);              // a click on a row of "Hold for..."
    void typeWaitTime(const QString& text);   // the waiting-time field
    void holdNow();                           // "Hold Now (Test)"
    void refreshList();                       // "Refresh List"
    void chooseTarget(int row);               // a row of the application list
    void showHelp();                          // "Help"
    // What the program does: a press or a release pass now, and at its end
    // the key-ups still owed.
    void pressKeys() { engine_.holdKeys(HoldEngine::Pass::Press); }
    void releaseKeys() { engine_.holdKeys(HoldEngine::Pass::Release); }
    void releaseHeldKeys() { engine_.releaseHeldKeys(); }

    // What a command from outside does (the command line, a desktop shortcut).
    enum class CommandResult {
        Done,
        Busy,      // a hold is waiting or holding already: nothing happened
        NoKeys,    // no key is marked
        NoTarget,  // no chosen window is open and none other is in front
        NoLength,  // "X seconds" is chosen and has no length yet
    };
    // The marked keys go down now, without the waiting time, into the chosen
    // window while it is open, else into the one `inFront` names (asked only
    // then: it walks the desktop's windows; never our own window);
    // in forever mode they stay down until a stop, in timed mode for the
    // chosen length. The switch is left off.
    using WindowInFront = std::function<WindowId()>;
    CommandResult startNow(const WindowInFront& inFront);
    // Ends the waiting or the hold: the switch goes off and every held key comes up.
    void stopNow() { engine_.stopAll(); }
    // A stop while waiting or holding, else a start.
    CommandResult toggle(const WindowInFront& inFront);
    HoldEngine::Status status() const { return engine_.status(); }
    // The user's own start/stop key (ToggleHotKey).
    ToggleHotKey& toggleKey() { return toggleHotKey_; }
    const ToggleHotKey& toggleKey() const { return toggleHotKey_; }
    // Makes `key` the start/stop key (nothing: none); empty when it is, else
    // why not: Ctrl+Shift+S, a marked key (a hold would press it, and so
    // stop itself), or a key another program has.
    QString chooseToggleKey(std::optional<HotKey> key);
    // Runs each time keys that waited for the desktop's permission have
    // their outcome (see HoldEngine); one listener.
    void onPermissionSettled(std::function<void()> settled) {
        engine_.onPermissionSettled(std::move(settled));
    }

    // The state, read-only.
    const UserChoices& choices() const { return choices_; }
    const TargetRows& targets() const { return targets_; }
    const MarkedKeys& marks() const { return marks_; }
    const ClockCounts& counts() const { return counter_.view(); }
    const QStringList& keySet() const {
        return keySetFile_.keySet();
    }  // as last read from the file
    const TargetFinder& targetFinder() const { return targetFinder_; }
    bool waitClockRunning() const { return waitClock_->interval() > 0; }
    std::int32_t selectedHoldSeconds() const { return durations_.selectedHoldSeconds(); }
    // The captions of the "Hold for..." rows, in order.
    static const QStringList& holdRowCaptions() { return Durations::kRows; }

    // The busy pointer around "Hold Now (Test)", and the notice the window
    // shows while a press waits for the keyboard.
    const HoldNotices& notices() const { return notices_; }

private:
    // The parts of `load`: "Hold for..." and its remembered row (returns
    // whether "X seconds" is selected, asked for once the window is shown),
    // the switch, and the two options.
    bool loadHoldRows(ErrorTrap& trap);
    void loadSwitch(ErrorTrap& trap, bool customLengthAsked);
    void loadOptions(ErrorTrap& trap);
    // A press of the user's start/stop key: what --toggle does, into the
    // window in front; what stops it shows as a notice.
    void toggleFromKey();

    Platform& platform_;
    std::unique_ptr<Clock> waitClock_;     // Timer1
    std::unique_ptr<Clock> holdClock_;     // Timer2
    std::unique_ptr<Clock> stopKeyClock_;  // Timer3
    std::unique_ptr<Clock> focusClock_;    // a press waiting for the keyboard to leave us
    ClockCounter counter_;
    UserChoices choices_;
    TargetRows targets_;
    MarkedKeys marks_;
    HoldNotices notices_;
    TargetFinder targetFinder_;
    KeySetFile keySetFile_;
    MarkActions markActions_;
    Durations durations_;
    HoldEngine engine_;
    StopHotKey stopHotKey_;
    ToggleHotKey toggleHotKey_;
};

}  // namespace quindorel
