#pragma once

#include <cstdint>
#include <functional>

#include "common/RuntimeError.h"
#include "platform/NativeDesktop.h"

namespace quindorel {

class Clock;
class Platform;

// Ctrl+Shift+S, system-wide: set up at the first tick of its clock (Timer3)
// and kept until the program ends; every press runs one release pass.
class StopHotKey {
public:
    StopHotKey(Platform& platform, Clock& clock, std::function<WindowId()> mainWindow,
               std::function<void()> releasePass);

    void clockTick();  // Timer3
    bool started() const { return started_; }
    void pressed();

private:
    static RuntimeError keyTaken();

    Platform& platform_;
    Clock& clock_;
    std::function<WindowId()> mainWindow_;
    std::function<void()> releasePass_;
    bool started_ = false;
};

}  // namespace quindorel
