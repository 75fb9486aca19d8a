#pragma once

#include <QStringList>
#include <functional>
#include <vector>

#include "platform/NativeDesktop.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace quindorel {

class ApplicationList;
class Clock;
class HoldInputs;
class KeySetFile;
class Platform;
struct HoldState;

// Presses and releases the key set in the chosen window, and decides when:
// the wait clock (Timer1) presses once its count reaches the waiting time, the
// hold clock (Timer2) releases once its count reaches the hold length, counting
// only while the switch is off.
class HoldEngine {
public:
    struct Controls {
        QRadioButton* foreverOption;  // Option1
        QRadioButton* timedOption;    // Option2
        QTreeWidget* holdList;        // ListView2
        QLineEdit* waitField;         // Text1
        QPushButton* switchButton;    // PushButton4
        Clock* waitClock;             // Timer1
        Clock* holdClock;             // Timer2
        Clock* stopKeyClock;          // Timer3
    };

    HoldEngine(Platform& platform, const Controls& controls, HoldState& state, HoldInputs& inputs,
               ApplicationList& applications, const KeySetFile& keySetFile);

    // Shows or clears the busy pointer while "Hold Now (Test)" runs.
    void setBusyPointer(std::function<void(bool)> setBusy) { setBusy_ = std::move(setBusy); }

    // One pass: key-downs (press) or key-ups (release) for every key of the
    // key set, into the selected window. A release also lets go of any key
    // that an earlier press put down and that has been unmarked since.
    void holdKeys(bool press);
    void waitClockTick();   // Timer1
    void holdClockTick();   // Timer2
    void switchClicked();   // "Turn On" / "Turn Off"
    void holdNowClicked();  // "Hold Now (Test)"
    void optionClicked();   // either option button

    // Sends the key-ups for what press passes put down and no release pass
    // has released since, into the window that got them; used when the
    // program ends.
    void releaseHeldKeys();

private:
    Platform& platform_;
    Controls controls_;
    HoldState& state_;
    HoldInputs& inputs_;
    ApplicationList& applications_;
    const KeySetFile& keySetFile_;
    std::function<void(bool)> setBusy_;
    // Keys that press passes put down and no release pass has let go since,
    // each once, in the order they first went down, and the window they went to.
    std::vector<std::uint8_t> held_;
    WindowId heldIn_ = 0;
};

}  // namespace quindorel
