#pragma once

#include <memory>

#include "platform/NativeDesktop.h"
#include "platform/SystemLog.h"
#include "platform/Waiter.h"
#include "platform/x11/X11KeyGuard.h"

struct xcb_connection_t;

namespace quindorel {

// The desktop on an X server, through xcb on a connection that someone else
// owns (Qt's, or a test's). Key events go through XTEST; raising, the
// above-others band and activation go through the EWMH window manager when
// one runs, and straight to the server otherwise. X errors go to `log`, at
// debug level when a window has gone, as warnings when a request that changes
// the whole server (keymap, auto-repeat, key grabs) fails; they never abort a
// call or reach Qt.
class X11Desktop : public NativeDesktop {
public:
    // `screen` is the screen number whose root window is walked; `waiter`
    // waits for a shown window to take the focus.
    X11Desktop(xcb_connection_t* connection, int screen, SystemLog log = {},
               std::unique_ptr<Waiter> waiter = std::make_unique<SleepingWaiter>());
    ~X11Desktop() override;

    // The desktop on Qt's own xcb connection; null when Qt is not on xcb.
    static std::unique_ptr<X11Desktop> fromQt(
        SystemLog log, std::unique_ptr<Waiter> waiter = std::make_unique<SleepingWaiter>());

    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    // Maps the window (bringing it back from iconic), activates it and then
    // waits, at most about 200 ms, until it has the input focus, so that key
    // events sent next land in it.
    void showWindow(WindowId window) override;
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    // Moves the pointer with an XTEST motion, to the middle of the window's
    // part of the root window.
    bool pointerInto(WindowId window) override;
    // Whether the input focus is in a window made on this connection.
    bool ownWindowHasKeyboard() override;
    // The listed window on the focus's way up to the root.
    WindowId activeWindow() override;
    // Grabs the key on the root window (X11KeyGrabs).
    bool setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) override;
    std::optional<KeyAction> keyActionOf(const void* nativeEvent) override;

    // The guard that lets go of our keys should the program die with some down.
    void setKeyGuard(KeyGuard guard);

    // True when the server offers XTEST, without which no key is sent.
    bool canSendKeys() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quindorel
