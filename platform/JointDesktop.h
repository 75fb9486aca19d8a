#pragma once

#include <memory>

#include "platform/NativeDesktop.h"

namespace quindorel {

// A session with two ways in: the X11 windows of its Xwayland and the native
// windows of its Wayland compositor (negative ids), shown as one desktop.
// The compositor lists the Xwayland windows too; those are left to X11, which
// reaches them the tested way, and are known by what the compositor says
// they are (by title only where it says nothing). Keys go the
// way of the window last aimed at (shown, raised, pointed into); a key-up
// goes the way its key-down went, whatever was aimed at since.
class JointDesktop : public NativeDesktop {
public:
    JointDesktop(std::unique_ptr<NativeDesktop> x11, std::unique_ptr<NativeDesktop> native);

    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    void showWindow(WindowId window) override;
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    bool pointerInto(WindowId window) override;
    bool ownWindowHasKeyboard() override;
    bool bringingForward() override;
    WindowId activeWindow() override;
    // Both ways: the compositor's binding works whatever window is in front.
    bool setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) override {
        const bool x11 = x11_->setUpKey(action, key, owner);
        return native_->setUpKey(action, key, owner) && x11;
    }
    std::string toggleKeyPlace() override { return native_->toggleKeyPlace(); }
    bool toggleKeyEverywhere() override { return native_->toggleKeyEverywhere(); }
    std::optional<KeyAction> keyActionOf(const void* event) override {
        return x11_->keyActionOf(event);
    }
    void withdrawPermissionRequest() override {
        x11_->withdrawPermissionRequest();
        native_->withdrawPermissionRequest();
    }
    void onPermissionAnswered(std::function<void(bool)> answered) override {
        x11_->onPermissionAnswered(answered);
        native_->onPermissionAnswered(std::move(answered));
    }

private:
    NativeDesktop& wayOf(WindowId window);
    // The compositor's windows but for its entries of the `x11` windows.
    std::vector<TopLevelWindow> nativeOnly(const std::vector<TopLevelWindow>& x11);
    // The compositor's entry for an X11 window, by its X11 id; where the
    // compositor tells none, by its title. 0 when none, or more than one
    // of that title, is.
    WindowId twinOf(WindowId x11Window);
    // The native window in front, unless it is an Xwayland window; 0 if none.
    WindowId nativeInFront();
    // Whether the keys go the native way: to the aim, else to the window in front.
    bool nativeAim();

    std::unique_ptr<NativeDesktop> x11_;
    std::unique_ptr<NativeDesktop> native_;
    WindowId aim_ = 0;
};

}  // namespace quindorel
