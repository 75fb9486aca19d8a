#pragma once

#include <QStringList>
#include <functional>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

class ApplicationList;
class Clock;
class ErrorTrap;
class HoldChoices;
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
    struct Clocks {
        Clock* waitClock;     // Timer1
        Clock* holdClock;     // Timer2
        Clock* stopKeyClock;  // Timer3
        Clock* focusClock;    // watches for the keyboard to leave our window
    };

    HoldEngine(Platform& platform, const Clocks& clocks, HoldChoices& choices, HoldState& state,
               HoldInputs& inputs, ApplicationList& applications, const KeySetFile& keySetFile);

    // Shows or clears the busy pointer while "Hold Now (Test)" runs.
    void setBusyPointer(std::function<void(bool)> setBusy) { setBusy_ = std::move(setBusy); }
    // Shows a notice in the window, or clears it with an empty text.
    void setNotice(std::function<void(const QString&)> show) { showNotice_ = std::move(show); }

    // Whether a press waits for the keyboard to leave the program's window.
    bool pressWaitsForFocus() const { return !waiting_.empty(); }

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
    struct HeldKey {
        std::uint8_t virtualKey;
        SystemKey pressed;  // what the key-down went to: its key-up goes there too
    };

    std::vector<KeyStroke> keySetStrokes(ErrorTrap& trap, bool press);
    void addUnmarkedHeldKeys(std::vector<KeyStroke>& ups) const;
    KeySendResult send(ErrorTrap& trap, const std::vector<KeyStroke>& strokes);
    void keep(const std::vector<KeyStroke>& downs, const KeySendResult& sent, WindowId target);
    void waitForFocus(std::vector<KeyStroke> downs, WindowId target);
    void stopWaitingForFocus();
    void focusClockTick();

    Platform& platform_;
    Clocks clocks_;
    HoldChoices& choices_;
    HoldState& state_;
    HoldInputs& inputs_;
    ApplicationList& applications_;
    const KeySetFile& keySetFile_;
    std::function<void(bool)> setBusy_;
    std::function<void(const QString&)> showNotice_;
    // Keys that press passes put down and no release pass has let go since,
    // each once, in the order they first went down, and the window they went to.
    std::vector<HeldKey> held_;
    WindowId heldIn_ = 0;
    // The key-downs of a press that found the program's own window with the
    // keyboard, and the window they are meant for: they go once it has left.
    std::vector<KeyStroke> waiting_;
    WindowId waitingFor_ = 0;
};

}  // namespace quindorel
