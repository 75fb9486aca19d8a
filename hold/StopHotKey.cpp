#include "hold/StopHotKey.h"

#include "common/ErrorTrap.h"
#include "common/RuntimeError.h"
#include "platform/Platform.h"

namespace quindorel {

StopHotKey::StopHotKey(Platform& platform, Clock& clock, std::function<WindowId()> mainWindow,
                       std::function<void()> releasePass)
    : platform_(platform),
      clock_(clock),
      mainWindow_(std::move(mainWindow)),
      releasePass_(std::move(releasePass)) {
    platform_.setStopKeyTakenHandler([this] {
        ErrorTrap trap(platform_, QStringLiteral("Form1.Timer3_Timer"));
        trap.run(104, [] { throw keyTaken(); });
    });
}

RuntimeError StopHotKey::keyTaken() {
    return RuntimeError(RuntimeError::Code::PermissionDenied,
                        QStringLiteral("Ctrl+Shift+S is taken by another program, so it cannot "
                                       "end a hold"));
}

void StopHotKey::clockTick() {
    if (started_) {
        // Once set up, the hot key stays; the clock need not wake the program again.
        clock_.setInterval(0);
        return;
    }
    started_ = true;
    ErrorTrap trap(platform_, QStringLiteral("Form1.Timer3_Timer"));
    trap.run(104, [&] {
        if (!platform_.desktop().setUpStopKey(mainWindow_())) {
            throw keyTaken();
        }
    });
    trap.run(110, [&] { clock_.setInterval(0); });
}

void StopHotKey::pressed() {
    if (!started_) {
        return;
    }
    ErrorTrap trap(platform_, QStringLiteral("ShortCuts.ProcessMessages"));
    trap.run(102, [&] { releasePass_(); });
}

}  // namespace quindorel
