#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

class Clock;
class HoldNotices;
class Platform;

// The key-downs of a press that found the program's own window with the
// keyboard, where Space or Enter would press our own buttons: they wait,
// with a notice, until another window has it. The focus clock looks for
// that while they wait; the hold runs each tick (it keeps passes apart).
class FocusWait {
public:
    struct Keys {
        std::vector<KeyStroke> downs;
        WindowId target = 0;  // the window they are meant for
    };

    FocusWait(Platform& platform, Clock& clock, HoldNotices& notices);

    // Keeps `keys`, starts the clock and shows the notice naming the window.
    void begin(Keys keys, const QString& windowName);
    // Drops what waits, stops the clock and clears any notice shown.
    void end();
    bool waiting() const { return !keys_.downs.empty(); }
    // On a tick of the clock: once the keyboard has left our window, the
    // keys that waited, and the wait is over; else nothing.
    std::optional<Keys> takeOnceKeyboardLeft();

private:
    Platform& platform_;
    Clock& clock_;
    HoldNotices& notices_;
    Keys keys_;
};

}  // namespace quindorel
