#include "platform/gnome/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace quindorel {

namespace {

const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
constexpr int kCallMs = 2000;

// The object path part the portal makes of our unique bus name (":1.42" ->
// "1_42"), under which it puts our request objects.
QString senderPart() {
    QString sender = QDBusConnection::sessionBus().baseService();
    sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return sender;
}

}  // namespace

QString portalPathOf(const QVariant& value) {
    return value.canConvert<QDBusObjectPath>() ? qvariant_cast<QDBusObjectPath>(value).path()
                                               : value.toString();
}

QDBusMessage callPortal(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(kPortalService, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kCallMs);
}

std::optional<QVariant> portalProperty(const QString& interface, const QString& name) {
    const QDBusMessage reply =
        callPortal(kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                   QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    return qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
}

QString portalToken() {
    static int made = 0;
    return QStringLiteral("quindorel%1").arg(++made);
}

void PortalRequest::listen(const QString& path, bool on) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = QStringLiteral("Response");
    const char* slot = SLOT(onResponse(uint, QVariantMap));
    if (on) {
        bus.connect(kPortalService, path, kRequest, name, this, slot);
    } else {
        bus.disconnect(kPortalService, path, kRequest, name, this, slot);
    }
}

std::optional<PortalRequest::Response> PortalRequest::ask(
    const QString& interface, const QString& method, QVariantList arguments, QVariantMap options,
    Waiter& waiter, std::chrono::milliseconds limit, const SystemLog& log, const bool* withdrawn) {
    PortalRequest request;
    const QString token = portalToken();
    options.insert(QStringLiteral("handle_token"), token);
    // Listening before asking: the answer may come before the call returns.
    request.path_ = QStringLiteral("%1/request/%2/%3").arg(kPortalPath, senderPart(), token);
    request.listen(request.path_, true);
    arguments.append(options);
    const QDBusMessage reply = callPortal(kPortalPath, interface, method, arguments);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        log.write(LogTopic::Wayland, LogLevel::Warning,
                  "the portal failed " + method.toStdString() + ": " +
                      reply.errorMessage().toStdString());
        request.listen(request.path_, false);
        return std::nullopt;
    }
    const QString handle =
        reply.arguments().isEmpty() ? QString() : portalPathOf(reply.arguments().first());
    if (!handle.isEmpty() && handle != request.path_) {
        // An older portal names the request its own way.
        request.listen(request.path_, false);
        request.path_ = handle;
        request.listen(request.path_, true);
    }
    const auto over = [&] { return withdrawn != nullptr && *withdrawn; };
    if (!waiter.waitUntil([&] { return request.response_.has_value() || over(); }, limit) ||
        (over() && !request.response_)) {
        // Withdrawn, so that no dialog waits for a question nobody asks now.
        callPortal(request.path_, kRequest, QStringLiteral("Close"), {});
    }
    request.listen(request.path_, false);
    return request.response_;
}

void PortalRequest::onResponse(uint code, const QVariantMap& results) {
    if (message().path() == path_) {
        response_ = std::make_pair(code, results);
    }
}

}  // namespace quindorel
