#pragma once

#include "platform/NativeDesktop.h"

namespace quindorel {

// The desktop of a Windows session through plain user32 calls. The header
// stays free of <windows.h> so that Qt code can include it.
class Win32Desktop : public NativeDesktop {
public:
    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    void showWindow(WindowId window) override;
    KeySendOutcome sendKeys(const std::vector<KeyStroke>& strokes) override;
    std::int32_t addAtom(const std::string& name) override;
    bool registerHotKey(WindowId owner, std::int32_t id, unsigned modifiers,
                        std::uint8_t virtualKey) override;
    std::optional<std::int32_t> hotKeyFromNativeEvent(const void* nativeEvent) override;
};

}  // namespace quindorel
