#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <set>

#include "platform/NativeDesktop.h"

namespace quindorel {

// A scripted desktop for tests. Windows are listed in stacking order as
// given; every call that acts on the system is written to `calls` in a short
// text form ("down 65", "up 160", "topmost 42", "release 42", "show 42",
// "stopkey 42", "button down 1", "pointer into 42"), so a test can assert the
// exact sequence. A key event names the system key it went to: the virtual
// key itself unless `layout` says otherwise. Titles are cut as a real
// desktop cuts them.
class FakeDesktop : public NativeDesktop {
public:
    std::vector<TopLevelWindow> windows;  // top of the stacking order first
    QStringList calls;
    std::set<WindowId> deadWindows;  // acts on these windows do nothing
    WindowId vanishDuringWalk = 0;   // left out of the walk, as a window closed mid-walk
    bool hotKeyAvailable = true;
    std::vector<HotKey> takenKeys;  // another program's: set-ups of these fail
    bool refuseKeys = false;        // sendKeys records the events but answers Refused
    std::string denyKeys;           // when set, sendKeys sends nothing and answers Denied with it
    std::map<std::uint8_t, SystemKey> layout;  // virtual key -> the key it is now
    bool ownWindowFocused = false;             // one of the program's windows has the keyboard
    bool refuseActivation = false;             // showWindow leaves the keyboard where it is
    WindowId inFront = 0;                      // what activeWindow answers
    bool pointerReaches = true;                // what pointerInto answers
    // Runs once inside the next showWindow: what arrives while a real
    // desktop waits, with the event loop running, for the window to come.
    std::function<void()> whileShowing;
    // Key-downs ask the user first, as GNOME's portal does: they send
    // nothing and answer Asking, and the question stays open (`asking`)
    // until answerPermission().
    bool askFirst = false;
    bool asking = false;
    // A window on its way to the front: key-downs answer Asking until
    // answerPermission() (with this cleared) says it is there.
    bool comingForward = false;
    // The user answers: yes, or no with the reason the next key-downs are
    // denied with, once. Keys sent after a yes go down.
    void answerPermission(const std::string& refusal = {});

    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    void showWindow(WindowId window) override;
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    bool pointerInto(WindowId window) override;
    bool ownWindowHasKeyboard() override { return ownWindowFocused; }
    WindowId activeWindow() override { return inFront; }
    bool setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) override;
    std::optional<KeyAction> keyActionOf(const void*) override { return std::nullopt; }
    bool bringingForward() override { return comingForward; }
    void withdrawPermissionRequest() override {
        calls << QStringLiteral("withdraw");
        asking = false;
    }
    void onPermissionAnswered(std::function<void(bool)> answered) override {
        permissionAnswered_ = std::move(answered);
    }

    // Only the key and button events of `calls`, e.g. {"down 65", "button up 1"}.
    QStringList keyCalls() const;
    int walkCount = 0;

private:
    std::function<void(bool)> permissionAnswered_;
    std::string refusal_;
};

}  // namespace quindorel
