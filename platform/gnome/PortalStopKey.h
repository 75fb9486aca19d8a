#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "platform/SystemLog.h"
#include "platform/Waiter.h"
#include "platform/wayland/DesktopStopKey.h"

namespace quindorel {

// Ctrl+Shift+S through the desktop's GlobalShortcuts portal (GNOME 48 and
// later, KDE Plasma 6, Hyprland): asked for once, at start-up; the desktop
// decides the key in the end, and may ask the user first, in a dialog of
// its own. Its presses come whatever window is in front.
class PortalStopKey : public QObject, public DesktopStopKey {
    Q_OBJECT
public:
    // Null where the portal offers no global shortcuts (GNOME 43).
    static std::unique_ptr<PortalStopKey> open(SystemLog log, std::unique_ptr<Waiter> waiter);

    // Binds the shortcut, without waiting for the desktop's dialog; true
    // unless the portal failed (no other program's shortcut can be seen).
    bool take() override;

private slots:
    void onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                     const QVariantMap& options);

private:
    PortalStopKey(SystemLog log, std::unique_ptr<Waiter> waiter)
        : log_(std::move(log)), waiter_(std::move(waiter)) {}

    SystemLog log_;
    std::unique_ptr<Waiter> waiter_;
    QString session_;
};

}  // namespace quindorel
