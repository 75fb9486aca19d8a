#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "platform/KeyGuard.h"
#include "platform/SystemLog.h"
#include "platform/wayland/DesktopStopKey.h"

namespace quindorel {

// Ctrl+Shift+S as a KDE global shortcut (KGlobalAccel over D-Bus): it works
// whatever window is in front, shows in System Settings under Shortcuts as
// "Quindorel: Stop the hold", where the user may give it another key, which
// is kept. A key another program's shortcut has is "taken".
class KdeStopKey : public QObject, public DesktopStopKey {
    Q_OBJECT
public:
    // Null when no KDE shortcut service is on the session bus. The guard
    // sets the shortcut inactive should the program be killed.
    static std::unique_ptr<KdeStopKey> open(SystemLog log, KeyGuard guard);
    ~KdeStopKey() override;

    // Asks without waiting; true, and `takenLater` when KDE answers that
    // another program's shortcut has the key.
    bool take() override;

private slots:
    void onPressed(const QString& component, const QString& action, qlonglong timestamp);

private:
    KdeStopKey(SystemLog log, KeyGuard guard) : log_(std::move(log)), guard_(std::move(guard)) {}
    // Once the key is known to be free: ours, and heard.
    void setShortcut(int key);

    SystemLog log_;
    KeyGuard guard_;
    bool asked_ = false;
    bool activeMaybe_ = false;  // set inactive at the end
    bool taken_ = false;        // its presses are heard
};

}  // namespace quindorel
