#include "platform/QtClock.h"

namespace quindorel {

QtClock::QtClock() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void QtClock::setInterval(int milliseconds) {
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    apply();
}

void QtClock::setEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;  // enabling a running clock does not restart its count
    }
    enabled_ = enabled;
    apply();
}

void QtClock::apply() {
    if (running()) {
        timer_.start(interval_);
    } else {
        timer_.stop();
    }
}

}  // namespace quindorel
