#pragma once

#include <memory>
#include <string>

#include "platform/NativeDesktop.h"
#include "platform/SystemLog.h"
#include "platform/Waiter.h"

namespace quindorel {

class WaylandConnection;
class WaylandInput;

// The native windows of a wlroots desktop (Sway, labwc, Wayfire, river),
// on the program's own Wayland connection: listed and brought forward
// through foreign-toplevel, keys and buttons through the virtual keyboard
// and pointer, which reach the window in front. Window ids are negative
// (WaylandToplevels.h). Whoever runs the event loop calls dispatch() when
// fd() is readable.
class WaylandDesktop : public NativeDesktop {
public:
    // The desktop of WAYLAND_DISPLAY, or null when there is none or it
    // offers no virtual keyboard. Windows whose app id is `ownAppId` are the
    // program's own.
    static std::unique_ptr<WaylandDesktop> open(std::string ownAppId, SystemLog log,
                                                std::unique_ptr<Waiter> waiter);
    ~WaylandDesktop() override;

    std::vector<TopLevelWindow> topLevelWindows() override;
    // Brings the window forward: Wayland has no above-others band that one
    // client can give another's window.
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId) override {}
    // Activates the window and waits, at most about 200 ms, until the
    // compositor says it has the keyboard.
    void showWindow(WindowId window) override;
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    // The compositor tells no client where a window lies or where the
    // pointer is: no button goes down for a native window.
    bool pointerInto(WindowId) override { return false; }
    bool ownWindowHasKeyboard() override;
    WindowId activeWindow() override;
    // The stop key of a Wayland desktop is the user's: a shortcut of the
    // desktop that runs `quindorel --stop`. Nothing here can take it away.
    bool setUpStopKey(WindowId) override { return true; }
    bool isStopKeyPress(const void*) override { return false; }

    int fd() const;
    // Handles what the compositor sent; false once the connection is lost,
    // after which the desktop lists nothing and sends nothing.
    bool dispatch();

private:
    WaylandDesktop(std::unique_ptr<WaylandConnection> connection,
                   std::unique_ptr<WaylandInput> input, std::string ownAppId, SystemLog log,
                   std::unique_ptr<Waiter> waiter);
    bool isOwn(WindowId window);

    std::unique_ptr<WaylandConnection> connection_;
    std::unique_ptr<WaylandInput> input_;
    std::string ownAppId_;
    SystemLog log_;
    std::unique_ptr<Waiter> waiter_;
    bool lost_ = false;
};

}  // namespace quindorel
