#include "platform/gnome/PortalStopKey.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>

#include "platform/gnome/PortalRequest.h"

namespace quindorel {

namespace {

const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kStopHold = QStringLiteral("stop-hold");

// One shortcut as BindShortcuts takes it: (sa{sv}).
struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

}  // namespace quindorel

Q_DECLARE_METATYPE(quindorel::Shortcut)

namespace quindorel {

std::unique_ptr<PortalStopKey> PortalStopKey::open(SystemLog log, std::unique_ptr<Waiter> waiter) {
    if (!QDBusConnection::sessionBus().isConnected() ||
        !portalProperty(kShortcuts, QStringLiteral("version"))) {
        return nullptr;
    }
    return std::unique_ptr<PortalStopKey>(new PortalStopKey(std::move(log), std::move(waiter)));
}

bool PortalStopKey::take() {
    if (!session_.isEmpty()) {
        return true;
    }
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    const auto created =
        PortalRequest::ask(kShortcuts, QStringLiteral("CreateSession"), {},
                           {{QStringLiteral("session_handle_token"), portalToken()}}, *waiter_,
                           std::chrono::milliseconds(2000), log_);
    if (!created || created->first != 0) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the portal gave no session for global shortcuts");
        return true;  // not another program's: the X11 stop key still works
    }
    session_ = portalPathOf(created->second.value(QStringLiteral("session_handle")));
    QDBusConnection::sessionBus().connect(
        kPortalService, kPortalPath, kShortcuts, QStringLiteral("Activated"), this,
        SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    // The desktop may ask the user about it: its answer is not waited for.
    const QList<Shortcut> shortcuts{
        {kStopHold,
         {{QStringLiteral("description"), QStringLiteral("Stop the hold")},
          {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+SHIFT+s")}}}};
    const QDBusMessage bound =
        callPortal(kPortalPath, kShortcuts, QStringLiteral("BindShortcuts"),
                   {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
                    QString(), QVariantMap{{QStringLiteral("handle_token"), portalToken()}}});
    if (bound.type() != QDBusMessage::ReplyMessage) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the portal did not bind the stop key: " + bound.errorMessage().toStdString());
    }
    return true;
}

void PortalStopKey::onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong,
                                const QVariantMap&) {
    if (session.path() == session_ && shortcut == kStopHold && pressed) {
        pressed();
    }
}

}  // namespace quindorel
