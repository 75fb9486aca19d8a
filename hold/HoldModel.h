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
    // "Refresh List".
    void refreshListClicked();

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
