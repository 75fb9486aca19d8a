#pragma once

#include "platform/KeyGuard.h"
#include "platform/NativeDesktop.h"
#include "platform/SystemLog.h"
#include "platform/Waiter.h"

#include <memory>
#include <utility>

namespace quindorel {

// The desktop of a Windows session through plain user32 calls. The header
// stays free of <windows.h> so that Qt code can include it.
class Win32Desktop : public NativeDesktop {
public:
    // `guard` hears of every key that goes down or comes up; failed system
    // calls are told to `log`; `waiter` waits for the system to catch up with
    // a foreground change or a pointer move.
    explicit Win32Desktop(KeyGuard guard = {}, SystemLog log = {},
                          std::unique_ptr<Waiter> waiter = std::make_unique<SleepingWaiter>())
        : guard_(std::move(guard)), log_(std::move(log)), waiter_(std::move(waiter)) {}

    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    void showWindow(WindowId window) override;
    KeySendResult sendKeys(const std::vector<KeyStroke>& strokes) override;
    // Moves the pointer with SendInput, in absolute coordinates over the
    // whole virtual desktop, to the middle of the window's client area on it.
    bool pointerInto(WindowId window) override;
    // Synthetic keys go to the foreground window's focus.
    bool ownWindowHasKeyboard() override;
    WindowId activeWindow() override;
    // Registers the key as a hot key of `owner`, identified by an atom
    // ("A00F1" for Ctrl+Shift+S); it then arrives as WM_HOTKEY. The user's
    // own key does not repeat.
    bool setUpKey(KeyAction action, std::optional<HotKey> key, WindowId owner) override;
    std::optional<KeyAction> keyActionOf(const void* nativeEvent) override;

    static constexpr const char* kStopKeyAtom = "A00F1";
    static constexpr const char* kToggleKeyAtom = "Quindorel start/stop key";

private:
    void logFailure(LogLevel level, const std::string& what, unsigned long error) const;

    KeyGuard guard_;
    SystemLog log_;
    std::unique_ptr<Waiter> waiter_;
    std::int32_t stopKeyId_ = 0;  // the atom, once the hot key is registered
    struct {
        std::int32_t id = 0;  // as stopKeyId_
        WindowId owner = 0;
        HotKey key;
    } toggleKey_;
};

}  // namespace quindorel
