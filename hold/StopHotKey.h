#pragma once

#include <cstdint>
#include <functional>

#include "platform/NativeDesktop.h"

namespace quindorel {

class Clock;
class Platform;

// Ctrl+Shift+S, system-wide: set up at the first tick of its clock (Timer3)
// and kept until the program ends; every press runs one release pass.
class StopHotKey {
public:
    static constexpr const char* kAtomName = "A00F1";
    static constexpr unsigned kModifiers = kModControl | kModShift;  // 6
    static constexpr std::uint8_t kKey = 83;                         // S

    StopHotKey(Platform& platform, Clock& clock, std::function<WindowId()> mainWindow,
               std::function<void()> releasePass);

    void clockTick();  // Timer3
    bool started() const { return started_; }
    std::int32_t hotKeyId() const { return hotKeyId_; }

private:
    void hotKeyPressed(std::int32_t id);

    Platform& platform_;
    Clock& clock_;
    std::function<WindowId()> mainWindow_;
    std::function<void()> releasePass_;
    bool started_ = false;
    std::int32_t hotKeyId_ = 0;
};

}  // namespace quindorel
