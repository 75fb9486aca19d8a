#pragma once

#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <chrono>
#include <optional>
#include <utility>

#include "platform/SystemLog.h"
#include "platform/Waiter.h"

namespace quindorel {

// The desktop portal's service and object on the session bus.
inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString kPortalSession = QStringLiteral("org.freedesktop.portal.Session");

// A short call to the portal (they answer at once; only dialogs take time).
QDBusMessage callPortal(const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments);
// A property of one of the portal's interfaces; nothing where it has none.
std::optional<QVariant> portalProperty(const QString& interface, const QString& name);
// A token of ours for a request or a session, new each time.
QString portalToken();
// An object path as the portal hands it over: a path, or a string (1.16).
QString portalPathOf(const QVariant& value);

// One question to the portal, which answers through a Request object's
// Response signal (0 granted, 1 cancelled by the user, 2 otherwise).
class PortalRequest : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    using Response = std::pair<uint, QVariantMap>;

    // Calls `method` with `arguments` and `options` (given a handle_token),
    // then waits at most `limit` for the Response, or until `*withdrawn`.
    // Nothing when the call failed, no answer came in time or the wait was
    // withdrawn; the question is then closed.
    static std::optional<Response> ask(const QString& interface, const QString& method,
                                       QVariantList arguments, QVariantMap options, Waiter& waiter,
                                       std::chrono::milliseconds limit, const SystemLog& log,
                                       const bool* withdrawn = nullptr);

private slots:
    void onResponse(uint code, const QVariantMap& results);

private:
    void listen(const QString& path, bool on);

    QString path_;
    std::optional<Response> response_;
};

}  // namespace quindorel
