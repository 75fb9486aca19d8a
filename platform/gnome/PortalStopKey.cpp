#include "platform/gnome/PortalStopKey.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>

#include "platform/gnome/PortalRequest.h"

namespace quindorel {

namespace {

const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kStopHold = QStringLiteral("stop-hold");
const QString kToggleHold = QStringLiteral("toggle-hold");

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

std::unique_ptr<PortalStopKey> PortalStopKey::open(SystemLog log) {
    if (!QDBusConnection::sessionBus().isConnected() ||
        !portalProperty(kShortcuts, QStringLiteral("version"))) {
        return nullptr;
    }
    return std::unique_ptr<PortalStopKey>(new PortalStopKey(std::move(log)));
}

bool PortalStopKey::take() {
    if (asked_) {
        return true;
    }
    asked_ = true;
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    PortalRequest::ask(
        kShortcuts, QStringLiteral("CreateSession"), {},
        {{QStringLiteral("session_handle_token"), portalToken()}}, std::chrono::milliseconds(2000),
        log_,
        [this](const std::optional<PortalRequest::Response>& created) {
            if (!created || created->first != 0) {
                log_.write(LogTopic::Wayland, LogLevel::Warning,
                           "the portal gave no session for global shortcuts");
                asked_ = false;  // asked again with the next hold
                return;
            }
            bind(portalPathOf(created->second.value(QStringLiteral("session_handle"))));
        },
        this);
    return true;
}

void PortalStopKey::bind(const QString& session) {
    session_ = session;
    QDBusConnection::sessionBus().connect(
        kPortalService, kPortalPath, kShortcuts, QStringLiteral("Activated"), this,
        SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    // The desktop may ask the user about them: its answer is not waited
    // for. "Start or stop the hold" comes with no key of ours (one chosen
    // for the user could clash with the game's): the desktop's dialog and
    // settings give it one.
    const QList<Shortcut> shortcuts{
        {kStopHold,
         {{QStringLiteral("description"), QStringLiteral("Stop the hold")},
          {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+SHIFT+s")}}},
        {kToggleHold, {{QStringLiteral("description"), QStringLiteral("Start or stop the hold")}}}};
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(
            [&] {
                QDBusMessage message = QDBusMessage::createMethodCall(
                    kPortalService, kPortalPath, kShortcuts, QStringLiteral("BindShortcuts"));
                message.setArguments(
                    {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
                     QString(), QVariantMap{{QStringLiteral("handle_token"), portalToken()}}});
                return message;
            }(),
            2000),
        this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call] {
        call->deleteLater();
        if (call->isError()) {
            log_.write(
                LogTopic::Wayland, LogLevel::Warning,
                "the portal did not bind the stop key: " + call->error().message().toStdString());
        }
    });
}

void PortalStopKey::onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong,
                                const QVariantMap&) {
    if (session.path() != session_ || !pressed) {
        return;
    }
    if (shortcut == kStopHold) {
        pressed(KeyAction::StopHold);
    } else if (shortcut == kToggleHold) {
        pressed(KeyAction::ToggleHold);
    }
}

}  // namespace quindorel
