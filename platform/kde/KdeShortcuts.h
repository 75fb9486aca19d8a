#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "platform/KeyGuard.h"
#include "platform/SystemLog.h"
#include "platform/wayland/DesktopShortcuts.h"

namespace quindorel {

// The key actions as KDE global shortcuts (KGlobalAccel over D-Bus), which
// work whatever window is in front: "Stop the hold", Ctrl+Shift+S, and
// "Start or stop the hold", with no key until the user gives it one. Both
// show in System Settings under Shortcuts, Quindorel, where the user may
// give them other keys, which KDE keeps. A key another program's shortcut
// has is "taken".
class KdeShortcuts : public QObject, public DesktopShortcuts {
    Q_OBJECT
public:
    // Null when no KDE shortcut service is on the session bus. The guard
    // sets the shortcut inactive should the program be killed.
    static std::unique_ptr<KdeShortcuts> open(SystemLog log, KeyGuard guard);
    ~KdeShortcuts() override;

    // Asks without waiting; true, and `takenLater` when KDE answers that
    // another program's shortcut has the key.
    bool take() override;
    const char* toggleKeyPlace() const override {
        return "System Settings, Shortcuts, Quindorel, \"Start or stop the hold\"";
    }

private slots:
    void onPressed(const QString& component, const QString& action, qlonglong timestamp);

private:
    KdeShortcuts(SystemLog log, KeyGuard guard) : log_(std::move(log)), guard_(std::move(guard)) {}
    // Once the key is known to be free: ours, and heard.
    void setShortcut(int key);

    SystemLog log_;
    KeyGuard guard_;
    bool asked_ = false;
    bool listening_ = false;    // the presses are heard
    bool activeMaybe_ = false;  // set inactive at the end
    bool taken_ = false;        // Ctrl+Shift+S is ours
};

}  // namespace quindorel
