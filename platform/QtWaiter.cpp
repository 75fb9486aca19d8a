#include "platform/QtWaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace quindorel {

namespace {

constexpr auto kLookEvery = std::chrono::milliseconds(2);

}  // namespace

bool QtWaiter::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (QCoreApplication::instance() == nullptr) {
        return SleepingWaiter().waitUntil(done, limit);
    }
    bool came = done();
    if (came) {
        return true;
    }
    const QDeadlineTimer deadline(limit, Qt::PreciseTimer);
    QEventLoop loop;
    QTimer look;
    look.setTimerType(Qt::PreciseTimer);
    look.setInterval(kLookEvery);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        came = done();
        if (came || deadline.hasExpired()) {
            loop.quit();
        }
    });
    look.start();
    // Qt's GLib dispatcher, the usual one on Linux, runs socket notifiers
    // all the same: whatever they start (a command) must cope with a wait
    // under way.
    loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    return came;
}

}  // namespace quindorel
