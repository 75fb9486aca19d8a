#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/Clock.h"
#include "platform/DesktopKeyRepeat.h"
#include "platform/KeyGuard.h"
#include "platform/NativeDesktop.h"
#include "platform/SystemLog.h"
#include "platform/wayland/DesktopShortcuts.h"
#include "platform/wayland/NativeWindows.h"
#include "platform/wayland/RepeatSettings.h"
#include "platform/wayland/SwayIpc.h"

namespace quindorel {

class WaylandConnection;
class WaylandInput;

// The native windows of a wlroots desktop (Sway, labwc, Wayfire, river),
// on the program's own Wayland connection: listed and brought forward
// through foreign-toplevel, keys and buttons through the virtual keyboard
// and pointer, which reach the window in front. Window ids are negative
// (WaylandToplevels.h). On Sway its IPC adds what the protocols leave out:
// where windows lie (for the pointer), moving floating windows, switching
// client-side repeat of virtual keyboards off for the run, and the stop key
// as a binding; both set up again when Sway reloads its configuration.
// Whoever runs the event loop calls dispatch() when fd() is readable.
class WaylandDesktop : public NativeDesktop {
public:
    struct Options {
        // Windows of this app id are the program's own.
        std::string ownAppId;
        // The shell command that ends a hold (the program with --stop),
        // bound to the stop key where the desktop takes bindings (Sway).
        std::string stopCommand;
        std::string toggleCommand;  // the same for the user's start/stop key
        SystemLog log;
        // The desktop's timers (for what key-downs wait for: a window's
        // activation, key repeat off heard); none: they do not wait.
        std::function<std::unique_ptr<Clock>()> makeClock;
        // Where the compositor lists no windows itself: another way to list
        // them (a KWin script).
        std::function<std::unique_ptr<NativeWindows>()> otherWindows;
        // The desktop's own stop key (KDE's global shortcuts), if any: asked
        // for only where no Sway takes a binding of ours, since finding out
        // costs a round trip to the session bus at start-up.
        std::function<std::unique_ptr<DesktopShortcuts>()> shortcuts;
        // Hears of what must be put back should the program die (buttons
        // down, Sway's settings).
        KeyGuard guard;
    };
    // The desktop of WAYLAND_DISPLAY, or null when there is none or it
    // offers no way to send keys; then `whyNot` says why in a user's words.
    static std::unique_ptr<WaylandDesktop> open(Options options, std::string* whyNot = nullptr);
    ~WaylandDesktop() override;

    // The desktop's own shortcuts, when it has them (see Options::shortcuts).
    DesktopShortcuts* desktopShortcuts() const { return shortcuts_.get(); }

    std::vector<TopLevelWindow> topLevelWindows() override;
    // Brings the window forward, and above the others where the desktop
    // lets a program do so.
    void makeTopMost(WindowId window) override;
    // Back among the others, moved to the corner where the desktop lets a
    // program do so (on Sway only a floating window: a tiled one stays
    // where the user tiled it).
    void releaseTopMost(WindowId window) override;
    // Activates the window; key-downs wait (Asking) until the compositor
    // says it has the keyboard, at most about 200 ms.
    void showWindow(WindowId window) override;
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    // To a point of the window that no other window covers, nearest its
    // middle, where the desktop tells where windows lie. No protocol tells
    // where the pointer is, so it always moves; where the desktop does not
    // tell, no button goes down.
    bool pointerInto(WindowId window) override;
    bool ownWindowHasKeyboard() override;
    WindowId activeWindow() override;
    // On Sway a binding of the stop key to the stop command, for the run;
    // false when the user's configuration binds the key already. On KDE a
    // global shortcut. Elsewhere the stop key is a shortcut that the user
    // gives the desktop.
    // The stop key as the desktop's shortcut, or Sway's binding; the user's
    // own key is set in the desktop's settings (`quindorel --toggle`).
    bool setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) override;
    std::optional<KeyAction> keyActionOf(const void*) override { return std::nullopt; }
    std::string toggleKeyPlace() override { return shortcuts_ ? shortcuts_->toggleKeyPlace() : ""; }
    bool toggleKeyEverywhere() override { return sway_ && !toggleCommand_.empty(); }
    // Key-downs wait (Asking) while an act on a window is on its way to the
    // desktop (KWin's scripts), an activation is unconfirmed, or clients
    // have not heard that key repeat is off: `answered` runs when it is done.
    bool bringingForward() override {
        return windows_->acting() || activating_ != 0 ||
               (desktopRepeat_ && desktopRepeat_->waiting());
    }
    void withdrawPermissionRequest() override;
    void onPermissionAnswered(std::function<void(bool)> answered) override {
        answered_ = std::move(answered);
    }

    // KWin: clients repeat held keys at the rate it announces.
    bool isKwin() const;
    // Switches the desktop's client key repeat off while keys are held (see
    // DesktopKeyRepeat); key-downs wait each time until this connection
    // hears of it.
    void repeatOffWhileHolding(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                               KeyGuard guard);

    int fd() const;
    // Where Sway tells of its reloads, -1 where there is no Sway: readable
    // means dispatch() has something to do.
    int swayFd() const;
    // Handles what the compositor sent; false once the connection is lost,
    // after which the desktop lists nothing and sends nothing.
    bool dispatch();

private:
    WaylandDesktop(std::unique_ptr<WaylandConnection> connection,
                   std::unique_ptr<WaylandInput> input, std::unique_ptr<NativeWindows> windows,
                   SystemLog log);
    bool isOwn(WindowId window);
    // Sway's settings for the run: set once, never while a window is in front
    // waiting for keys (Sway sends the focused window its keyboard focus
    // again whenever an input's settings change: a browser game would see
    // its page lose the keyboard).
    void switchRepeatOff();
    void putRepeatBack();
    bool bindStopKey();
    void unbindStopKey();
    // The user's start/stop key as a Sway binding, with the stop key's care
    // for the user's own bindings; nothing: none.
    bool bindToggleKey(std::optional<HotKey> key);
    void unbindToggleKey();
    void afterSwayReload();
    // The activation asked for by showWindow, seen through or given up.
    void lookAtActivation();
    void actsDone();

    std::unique_ptr<WaylandConnection> connection_;
    std::unique_ptr<WaylandInput> input_;
    std::unique_ptr<NativeWindows> windows_;
    SystemLog log_;
    std::function<std::unique_ptr<Clock>()> makeClock_;
    std::unique_ptr<SwayIpc> sway_;
    std::unique_ptr<SwayIpc> swayEvents_;  // a connection that hears of reloads
    int swayLock_ = -1;                    // held while this copy keeps Sway's settings
    bool anotherCopyOnSway_ = false;       // which keeps them instead
    KeyGuard guard_;
    std::string stopCommand_;
    std::unique_ptr<DesktopShortcuts> shortcuts_;
    bool stopKeyBound_ = false;
    bool stopKeyWanted_ = false;  // asked for: bound again after a reload
    std::string toggleCommand_;
    std::optional<HotKey> toggleKeyWanted_;  // bound again after a reload
    std::optional<HotKey> toggleKeyBound_;
    std::int32_t repeatRate_ = 0;  // what to put back; 0: nothing was changed
    bool lost_ = false;
    bool keysWaiting_ = false;  // for the acts on their way
    std::function<void(bool)> answered_;
    std::unique_ptr<Clock> activationClock_;
    WindowId activating_ = 0;  // asked to take the keyboard, not yet seen to
    std::chrono::steady_clock::time_point activationAsked_;
    std::unique_ptr<HeldKeyRepeat> desktopRepeat_;  // declared last: put back first
};

}  // namespace quindorel
