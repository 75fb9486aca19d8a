#pragma once

#include <QTimer>

#include "platform/Clock.h"

namespace quindorel {

// A Clock on a precise QTimer: repeated ticks are scheduled from the intended
// time of the previous one, so a one-second clock does not drift.
class QtClock : public Clock {
public:
    QtClock();

    void setInterval(int milliseconds) override;
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override;
    bool enabled() const override { return enabled_; }

private:
    void apply();

    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = true;
};

}  // namespace quindorel
