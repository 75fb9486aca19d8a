#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <set>

#include "platform/NativeDesktop.h"

namespace quindorel {

// A scripted desktop for tests. Windows are listed in stacking order as
// given; every call that acts on the system is written to `calls` in a short
// text form ("down 65", "up 160", "topmost 42", "release 42", "show 42",
// "hotkey 49152 6 83"), so a test can assert the exact sequence.
class FakeDesktop : public NativeDesktop {
public:
    std::vector<TopLevelWindow> windows;  // top of the stacking order first
    QStringList calls;
    std::set<WindowId> deadWindows;  // acts on these windows do nothing
    WindowId vanishDuringWalk = 0;   // left out of the walk, as a window closed mid-walk
    bool hotKeyAvailable = true;
    bool refuseKeys = false;  // sendKeys records the events but answers Refused
    std::map<std::string, std::int32_t> atoms;

    std::vector<TopLevelWindow> topLevelWindows() override;
    void makeTopMost(WindowId window) override;
    void releaseTopMost(WindowId window) override;
    void showWindow(WindowId window) override;
    KeySendOutcome sendKeys(const std::vector<KeyStroke>& strokes) override;
    std::int32_t addAtom(const std::string& name) override;
    bool registerHotKey(WindowId owner, std::int32_t id, unsigned modifiers,
                        std::uint8_t virtualKey) override;
    std::optional<std::int32_t> hotKeyFromNativeEvent(const void* nativeEvent) override;

    // Only the key events of `calls`, e.g. {"down 65", "up 65"}.
    QStringList keyCalls() const;
    int walkCount = 0;
};

}  // namespace quindorel
