#pragma once

#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>
#include <chrono>
#include <functional>
#include <optional>
#include <utility>

#include "platform/SystemLog.h"

namespace quindorel {

// The desktop portal's service and object on the session bus.
inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString kPortalSession = QStringLiteral("org.freedesktop.portal.Session");

// A short call to the portal, waited for (they answer at once; only dialogs
// take time): for start-up and the end, never while the user waits.
QDBusMessage callPortal(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments);
// The same call, its answer not waited for.
void tellPortal(const QString& path, const QString& interface, const QString& method,
                const QVariantList& arguments);
// A property of one of the portal's interfaces; nothing where it has none.
std::optional<QVariant> portalProperty(const QString& interface, const QString& name);
// A token of ours for a request or a session, new each time.
QString portalToken();
// An object path as the portal hands it over: a path, or a string (1.16).
QString portalPathOf(const QVariant& value);

// One question to the portal, which answers through a Request object's
// Response signal (0 granted, 1 cancelled by the user, 2 otherwise). Nothing
// waits for it: the answer comes to a function, from the event loop, and a
// question may be withdrawn meanwhile.
class PortalRequest : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    using Response = std::pair<uint, QVariantMap>;
    // The Response; nothing when the call failed, no answer came in time or
    // the question was withdrawn.
    using Answered = std::function<void(std::optional<Response>)>;

    // Calls `method` with `arguments` and `options` (given a handle_token);
    // `answered` hears the outcome once, at most `limit` later (kNoLimit:
    // whenever it comes). The request
    // deletes itself once answered; `parent` takes it along when it goes
    // first.
    static constexpr std::chrono::milliseconds kNoLimit{0};
    static PortalRequest* ask(const QString& interface, const QString& method,
                              QVariantList arguments, QVariantMap options,
                              std::chrono::milliseconds limit, SystemLog log, Answered answered,
                              QObject* parent);

    // Withdraws the question, so that no dialog waits for a question nobody
    // asks now: `answered` hears nothing, at once.
    void withdraw();
    // The same, with nobody told (the asker is going).
    void forget();

private slots:
    void onResponse(uint code, const QVariantMap& results);

private:
    PortalRequest(SystemLog log, Answered answered, QObject* parent)
        : QObject(parent), log_(std::move(log)), answered_(std::move(answered)) {}
    void listen(bool on);
    void called(const QDBusMessage& reply, const QString& method);
    void finish(std::optional<Response> response);

    SystemLog log_;
    Answered answered_;
    QString path_;
    QTimer limit_;
    bool done_ = false;
};

}  // namespace quindorel
