#include "platform/gnome/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
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

QDBusMessage portalCall(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(kPortalService, path, interface, method);
    message.setArguments(arguments);
    return message;
}

}  // namespace

QString portalPathOf(const QVariant& value) {
    return value.canConvert<QDBusObjectPath>() ? qvariant_cast<QDBusObjectPath>(value).path()
                                               : value.toString();
}

QDBusMessage callPortal(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    return QDBusConnection::sessionBus().call(portalCall(path, interface, method, arguments),
                                              QDBus::Block, kCallMs);
}

void tellPortal(const QString& path, const QString& interface, const QString& method,
                const QVariantList& arguments) {
    QDBusConnection::sessionBus().asyncCall(portalCall(path, interface, method, arguments),
                                            kCallMs);
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

void PortalRequest::listen(bool on) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString name = QStringLiteral("Response");
    const char* slot = SLOT(onResponse(uint, QVariantMap));
    if (on) {
        bus.connect(kPortalService, path_, kRequest, name, this, slot);
    } else {
        bus.disconnect(kPortalService, path_, kRequest, name, this, slot);
    }
}

PortalRequest* PortalRequest::ask(const QString& interface, const QString& method,
                                  QVariantList arguments, QVariantMap options,
                                  std::chrono::milliseconds limit, SystemLog log, Answered answered,
                                  QObject* parent) {
    auto* request = new PortalRequest(std::move(log), std::move(answered), parent);
    const QString token = portalToken();
    options.insert(QStringLiteral("handle_token"), token);
    // Listening before asking: the answer may come before the call returns.
    request->path_ = QStringLiteral("%1/request/%2/%3").arg(kPortalPath, senderPart(), token);
    request->listen(true);
    arguments.append(options);
    auto* call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(
            portalCall(kPortalPath, interface, method, arguments), kCallMs),
        request);
    connect(call, &QDBusPendingCallWatcher::finished, request, [request, call, method] {
        call->deleteLater();
        request->called(call->reply(), method);
    });
    request->limit_.setSingleShot(true);
    connect(&request->limit_, &QTimer::timeout, request, &PortalRequest::withdraw);
    if (limit != kNoLimit) {
        request->limit_.start(limit);
    }
    return request;
}

void PortalRequest::called(const QDBusMessage& reply, const QString& method) {
    if (done_) {
        return;
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "the portal failed " + method.toStdString() + ": " +
                       reply.errorMessage().toStdString());
        finish(std::nullopt);
        return;
    }
    const QString handle =
        reply.arguments().isEmpty() ? QString() : portalPathOf(reply.arguments().first());
    if (!handle.isEmpty() && handle != path_) {
        // An older portal names the request its own way.
        listen(false);
        path_ = handle;
        listen(true);
    }
}

void PortalRequest::onResponse(uint code, const QVariantMap& results) {
    if (message().path() == path_ && !done_) {
        finish(std::make_pair(code, results));
    }
}

void PortalRequest::withdraw() {
    if (!done_) {
        tellPortal(path_, kRequest, QStringLiteral("Close"), {});
        finish(std::nullopt);
    }
}

void PortalRequest::forget() {
    answered_ = nullptr;
    withdraw();
}

void PortalRequest::finish(std::optional<Response> response) {
    done_ = true;
    limit_.stop();
    listen(false);
    deleteLater();
    if (const Answered answered = std::exchange(answered_, nullptr)) {
        answered(std::move(response));
    }
}

}  // namespace quindorel
