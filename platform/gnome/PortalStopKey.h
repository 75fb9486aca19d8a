#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "platform/SystemLog.h"
#include "platform/wayland/DesktopShortcuts.h"

namespace quindorel {

// The key actions through the desktop's GlobalShortcuts portal (GNOME 48
// and later, KDE Plasma 6, Hyprland): Ctrl+Shift+S for "Stop the hold", and
// "Start or stop the hold" with no key of ours, asked for once, at start-up;
// the desktop decides the keys in the end, and may ask the user first, in a
// dialog of its own. Their presses come whatever window is in front.
class PortalStopKey : public QObject, public DesktopShortcuts {
    Q_OBJECT
public:
    // Null where the portal offers no global shortcuts (GNOME 43).
    static std::unique_ptr<PortalStopKey> open(SystemLog log);

    // Binds the shortcut, without waiting for the portal or the desktop's
    // dialog: true (no other program's shortcut can be seen; where the
    // portal fails, the log says so, and the X11 stop key still works).
    bool take() override;
    const char* toggleKeyPlace() const override {
        return "the desktop's own dialog for Quindorel's shortcuts, or its keyboard settings";
    }

private slots:
    void onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                     const QVariantMap& options);

private:
    explicit PortalStopKey(SystemLog log) : log_(std::move(log)) {}
    void bind(const QString& session);

    SystemLog log_;
    QString session_;
    bool asked_ = false;
};

}  // namespace quindorel
