#include "platform/gnome/RemoteDesktopPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace quindorel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

// The portal's device types, and what it does with the user's answer.
constexpr uint kKeyboard = 1;
constexpr uint kPointer = 2;
constexpr uint kPersistUntilRevoked = 2;
// Response codes: anything else but these is a failure.
constexpr uint kGranted = 0;
constexpr uint kCancelled = 1;

// Short calls: the portal answers them at once; only the dialog takes time.
constexpr int kCallMs = 2000;

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kCallMs);
}

std::optional<QVariant> portalProperty(const QString& name) {
    const QDBusMessage reply = call(kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {kRemoteDesktop, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    return qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
}

// The object path part the portal makes of our unique bus name (":1.42" ->
// "1_42"), under which it puts our request objects.
QString senderPart() {
    QString sender = QDBusConnection::sessionBus().baseService();
    sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return sender;
}

QString pathOf(const QVariant& value) {
    return value.canConvert<QDBusObjectPath>() ? qvariant_cast<QDBusObjectPath>(value).path()
                                               : value.toString();
}

}  // namespace

std::unique_ptr<RemoteDesktopPortal> RemoteDesktopPortal::open(Options options) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        return nullptr;
    }
    // Reading a property starts the portal when the bus starts it on demand.
    const std::optional<QVariant> types = portalProperty(QStringLiteral("AvailableDeviceTypes"));
    if (!types || (types->toUInt() & kKeyboard) == 0) {
        return nullptr;
    }
    const uint version = portalProperty(QStringLiteral("version")).value_or(QVariant(1u)).toUInt();
    return std::unique_ptr<RemoteDesktopPortal>(
        new RemoteDesktopPortal(std::move(options), version));
}

RemoteDesktopPortal::~RemoteDesktopPortal() {
    if (started()) {
        // The desktop lets go of what the session holds when it closes.
        call(session_, kSession, QStringLiteral("Close"), {});
    }
}

std::optional<std::pair<uint, QVariantMap>> RemoteDesktopPortal::request(
    const QString& method, QVariantList arguments, QVariantMap options, Waiter& waiter,
    std::chrono::milliseconds limit) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = QStringLiteral("quindorel%1").arg(++requests_);
    options.insert(QStringLiteral("handle_token"), token);
    // Listening before asking: the answer may come before the call returns.
    awaited_ = QStringLiteral("%1/request/%2/%3").arg(kPath, senderPart(), token);
    response_.reset();
    bus.connect(kService, awaited_, kRequest, QStringLiteral("Response"), this,
                SLOT(onResponse(uint, QVariantMap)));
    arguments.append(options);
    const QDBusMessage reply = call(kPath, kRemoteDesktop, method, arguments);
    const QString handle =
        reply.arguments().isEmpty() ? QString() : pathOf(reply.arguments().first());
    if (reply.type() != QDBusMessage::ReplyMessage) {
        options_.log.write(LogTopic::Wayland, LogLevel::Warning,
                           "the Remote Desktop portal failed " + method.toStdString() + ": " +
                               reply.errorMessage().toStdString());
    } else if (handle != awaited_ && !handle.isEmpty()) {
        // An older portal names the request its own way.
        bus.disconnect(kService, awaited_, kRequest, QStringLiteral("Response"), this,
                       SLOT(onResponse(uint, QVariantMap)));
        awaited_ = handle;
        bus.connect(kService, awaited_, kRequest, QStringLiteral("Response"), this,
                    SLOT(onResponse(uint, QVariantMap)));
    }
    if (reply.type() == QDBusMessage::ReplyMessage &&
        !waiter.waitUntil([this] { return response_.has_value(); }, limit)) {
        // Withdrawn, so that no dialog waits for a question nobody asks now.
        call(awaited_, kRequest, QStringLiteral("Close"), {});
    }
    bus.disconnect(kService, awaited_, kRequest, QStringLiteral("Response"), this,
                   SLOT(onResponse(uint, QVariantMap)));
    awaited_.clear();
    return std::exchange(response_, std::nullopt);
}

void RemoteDesktopPortal::onResponse(uint code, const QVariantMap& results) {
    if (!awaited_.isEmpty() && message().path() == awaited_) {
        response_ = std::make_pair(code, results);
    }
}

RemoteDesktopPortal::Answer RemoteDesktopPortal::start(Waiter& waiter,
                                                       std::chrono::milliseconds limit) {
    if (started()) {
        return Answer::Granted;
    }
    constexpr std::chrono::milliseconds kQuick(kCallMs);
    const auto failed = [](const auto& response) {
        return !response || response->first != kGranted;
    };
    const auto answerOf = [](const auto& response) {
        return !response                       ? Answer::NoAnswer
               : response->first == kCancelled ? Answer::Refused
                                               : Answer::Closed;
    };
    const QString sessionToken = QStringLiteral("quindorel%1").arg(++requests_);
    auto created =
        request(QStringLiteral("CreateSession"), {},
                {{QStringLiteral("session_handle_token"), sessionToken}}, waiter, kQuick);
    if (failed(created)) {
        return answerOf(created);
    }
    const QString session = pathOf(created->second.value(QStringLiteral("session_handle")));
    QDBusConnection::sessionBus().connect(kService, session, kSession, QStringLiteral("Closed"),
                                          this, SLOT(onSessionClosed()));
    QVariantMap devices{{QStringLiteral("types"), kKeyboard | kPointer}};
    if (version_ >= 2) {
        devices.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        const QString token = options_.loadToken ? options_.loadToken() : QString();
        if (!token.isEmpty()) {
            devices.insert(QStringLiteral("restore_token"), token);
        }
    }
    const QVariant sessionPath = QVariant::fromValue(QDBusObjectPath(session));
    auto selected =
        request(QStringLiteral("SelectDevices"), {sessionPath}, devices, waiter, kQuick);
    auto started = failed(selected) ? selected
                                    : request(QStringLiteral("Start"), {sessionPath, QString()}, {},
                                              waiter, limit);
    if (failed(started)) {
        call(session, kSession, QStringLiteral("Close"), {});
        return answerOf(started);
    }
    session_ = session;
    const QString token = started->second.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty() && options_.saveToken) {
        options_.saveToken(token);
    }
    return Answer::Granted;
}

void RemoteDesktopPortal::onSessionClosed() {
    if (message().path() == session_) {
        forget("the desktop closed the remote desktop session");
    }
}

void RemoteDesktopPortal::forget(const QString& why) {
    options_.log.write(LogTopic::Wayland, LogLevel::Warning, why.toStdString());
    QDBusConnection::sessionBus().disconnect(kService, session_, kSession, QStringLiteral("Closed"),
                                             this, SLOT(onSessionClosed()));
    session_.clear();
}

bool RemoteDesktopPortal::notify(const QString& method, std::int32_t code, bool down) {
    if (!started()) {
        return false;
    }
    // Waited for, so that key-ups have reached the desktop before the
    // program may end.
    const QDBusMessage reply =
        call(kPath, kRemoteDesktop, method,
             {QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap(), code, uint(down)});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        forget(QStringLiteral("the Remote Desktop portal refused %1: %2")
                   .arg(method, reply.errorMessage()));
        return false;
    }
    return true;
}

bool RemoteDesktopPortal::key(std::uint32_t evdevCode, bool down) {
    return notify(QStringLiteral("NotifyKeyboardKeycode"), std::int32_t(evdevCode), down);
}

bool RemoteDesktopPortal::button(std::uint32_t buttonCode, bool down) {
    return notify(QStringLiteral("NotifyPointerButton"), std::int32_t(buttonCode), down);
}

}  // namespace quindorel
