#pragma once

#include <functional>

namespace quindorel {

// A timer with the classic semantics: it ticks every `interval` milliseconds
// while it is enabled and its interval is not 0. Setting the interval or
// enabling it starts the count anew. Created enabled with interval 0.
class Clock {
public:
    virtual ~Clock() = default;

    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;

    bool running() const { return enabled() && interval() != 0; }
    void setOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }

protected:
    void fire() {
        if (onTick_) {
            onTick_();
        }
    }

private:
    std::function<void()> onTick_;
};

}  // namespace quindorel
