#pragma once

#include "platform/NativeDesktop.h"

namespace quindorel {

// The desktop where no X11 display is open (a Wayland session without
// Xwayland, Qt's offscreen platform): no other windows, and key events go
// nowhere. The stop key is granted: no other program holds it, it just never
// comes, as no hold ever presses a key here.
class NullDesktop : public NativeDesktop {
public:
    std::vector<TopLevelWindow> topLevelWindows() override { return {}; }
    void makeTopMost(WindowId) override {}
    void releaseTopMost(WindowId) override {}
    void showWindow(WindowId) override {}
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override {
        return {KeySendOutcome::Sent, std::vector<std::optional<SystemKey>>(strokes.size()), {}};
    }
    bool pointerInto(WindowId) override { return false; }
    bool ownWindowHasKeyboard() override { return false; }
    WindowId activeWindow() override { return 0; }
    bool setUpKey(KeyAction, std::optional<HotKey>, WindowId) override { return true; }
    std::optional<KeyAction> keyActionOf(const void*) override { return std::nullopt; }
};

}  // namespace quindorel
