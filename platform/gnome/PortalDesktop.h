#pragma once

#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "platform/DesktopKeyRepeat.h"
#include "platform/NativeDesktop.h"
#include "platform/SystemLog.h"
#include "platform/gnome/RemoteDesktopPortal.h"
#include "platform/wayland/DesktopShortcuts.h"
#include "platform/wayland/RepeatSettings.h"
#include "platform/xkb/XkbKeyLayout.h"

namespace quindorel {

// The native windows of a desktop that lets a program reach them only
// through the Remote Desktop portal (GNOME): it neither lists them nor says
// which is in front, nor lets one be raised. What it offers is one window,
// kWindowInFront, whichever has the keyboard when the keys go down; mouse
// buttons go down where the pointer is. The portal asks the user before the
// first key-down of a run, not before.
class WaylandConnection;

class PortalDesktop : public NativeDesktop {
public:
    struct Options {
        SystemLog log;
        // Times the wait for clients to hear that key repeat is off.
        std::function<std::unique_ptr<Clock>()> makeClock;
        RemoteDesktopPortal::Options portal;
        // The stop key through the desktop's global shortcuts, if it has them.
        std::unique_ptr<DesktopShortcuts> stopKey;
    };
    // Null when the session bus has no Remote Desktop portal.
    static std::unique_ptr<PortalDesktop> open(Options options);

    // kWindowInFront alone.
    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId) override {}
    void releaseTopMost(WindowId) override {}
    void showWindow(WindowId) override {}
    // Key-downs without a session ask the portal for one and answer Asking,
    // with nothing sent: the desktop's dialog is open until the user
    // answers, and the permission listener hears of it then. Sent again
    // after a no, they answer Denied, once. Key-ups without a session have
    // nothing to let go of.
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    // Buttons go where the pointer is: the portal moves it only over a
    // screen cast.
    bool pointerInto(WindowId) override { return true; }
    // The desktop tells neither; the X11 side knows when ours is in front.
    bool ownWindowHasKeyboard() override { return false; }
    WindowId activeWindow() override { return 0; }
    bool setUpKey(KeyAction action, std::optional<HotKey>, WindowId) override {
        return action != KeyAction::StopHold || !stopKey_ || stopKey_->take();
    }
    std::optional<KeyAction> keyActionOf(const void*) override { return std::nullopt; }
    bool toggleKeyEverywhere() override { return false; }
    std::string toggleKeyPlace() override { return stopKey_ ? stopKey_->toggleKeyPlace() : ""; }
    // Key-downs wait (Asking) until clients have heard that key repeat is
    // off; the permission listener hears when they may go.
    bool bringingForward() override { return desktopRepeat_ && desktopRepeat_->waiting(); }
    void withdrawPermissionRequest() override;
    void onPermissionAnswered(std::function<void(bool)> answered) override {
        permissionAnswered_ = std::move(answered);
    }

    // Switches the desktop's client key repeat off while keys are held (see
    // DesktopKeyRepeat); key-downs wait each time until clients have heard
    // of it.
    void repeatOffWhileHolding(std::unique_ptr<RepeatSetting> setting, RepeatNote note,
                               KeyGuard guard);
    ~PortalDesktop() override;

    // After a grant, how long the keys give the desktop to move the
    // keyboard from its closing dialog (GNOME gives it to the dialog's
    // parent, or back to the window that had it, up to some tens of
    // milliseconds after the answer): sent at once, they could go into the
    // dialog's parent, our window.
    static constexpr std::chrono::milliseconds kSettle{250};

private:
    PortalDesktop(Options options, std::unique_ptr<RemoteDesktopPortal> portal, XkbKeyLayout layout,
                  std::unique_ptr<WaylandConnection> connection);
    void answered(RemoteDesktopPortal::Answer answer);
    // The keys that asked may go now.
    void mayGo();

    SystemLog log_;
    std::function<std::unique_ptr<Clock>()> makeClock_;
    std::unique_ptr<RemoteDesktopPortal> portal_;
    XkbKeyLayout layout_;
    std::unique_ptr<DesktopShortcuts> stopKey_;
    // Where the repeat clients are told is heard (null without a compositor).
    std::unique_ptr<WaylandConnection> connection_;
    std::unique_ptr<HeldKeyRepeat> desktopRepeat_;
    // The user's last no, told to the key-downs that asked.
    std::optional<std::string> refusal_;
    std::function<void(bool)> permissionAnswered_;
    QTimer settle_;  // after a grant, while the desktop moves the keyboard
};

}  // namespace quindorel
