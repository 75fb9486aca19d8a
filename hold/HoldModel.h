#pragma once

#include <QString>
#include <memory>

#include "hold/ClockCounts.h"
#include "hold/Durations.h"
#include "hold/HoldEngine.h"
#include "hold/StopHotKey.h"
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
// change them and the three clocks that drive them. A window shows it and
// forwards the user's clicks to it.
struct HoldModel {
    HoldModel(Platform& platform, const QString& programFolder);

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
    void chooseHoldRow(int row);              // a row of "Hold for..."
    void typeWaitTime(const QString& text);   // the waiting-time field
    void holdNow();                           // "Hold Now (Test)"
    void refreshList();                       // "Refresh List"
    void chooseTarget(int row);               // a row of the application list
    void showHelp();                          // "Help"
    // What the program does: a press or a release pass now, and at its end
    // the key-ups still owed.
    void pressKeys() { engine.holdKeys(HoldEngine::Pass::Press); }
    void releaseKeys() { engine.holdKeys(HoldEngine::Pass::Release); }
    void releaseHeldKeys() { engine.releaseHeldKeys(); }

    Platform& platform;
    std::unique_ptr<Clock> waitClock;     // Timer1
    std::unique_ptr<Clock> holdClock;     // Timer2
    std::unique_ptr<Clock> stopKeyClock;  // Timer3
    std::unique_ptr<Clock> focusClock;    // a press waiting for the keyboard to leave us
    ClockCounts counts;
    UserChoices choices;
    TargetRows targets;
    MarkedKeys marks;
    TargetFinder targetFinder;
    KeySetFile keySetFile;
    MarkActions markActions;
    Durations durations;
    HoldEngine engine;
    StopHotKey stopHotKey;
};

}  // namespace quindorel
