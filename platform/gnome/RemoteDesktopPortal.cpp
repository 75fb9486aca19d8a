#include "platform/gnome/RemoteDesktopPortal.h"

#include <QDBusConnection>
#include <QDBusObjectPath>

#include "platform/gnome/DirectCalls.h"
#include "platform/gnome/PortalRequest.h"

namespace quindorel {

namespace {

const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");

// The portal's device types, and what it does with the user's answer.
constexpr uint kKeyboard = 1;
constexpr uint kPointer = 2;
constexpr uint kPersistUntilRevoked = 2;
// Response codes: anything else but these is a failure.
constexpr uint kGranted = 0;
constexpr uint kCancelled = 1;
// The steps before the dialog answer at once.
constexpr std::chrono::milliseconds kQuick(2000);
// The portal answers a key at once; one that does not is as good as gone.
constexpr std::chrono::milliseconds kNotifyLimit(2000);

}  // namespace

std::unique_ptr<RemoteDesktopPortal> RemoteDesktopPortal::open(Options options) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        return nullptr;
    }
    // Reading a property starts the portal when the bus starts it on demand.
    const std::optional<QVariant> types =
        portalProperty(kRemoteDesktop, QStringLiteral("AvailableDeviceTypes"));
    if (!types || (types->toUInt() & kKeyboard) == 0) {
        return nullptr;
    }
    const uint version =
        portalProperty(kRemoteDesktop, QStringLiteral("version")).value_or(QVariant(1u)).toUInt();
    return std::unique_ptr<RemoteDesktopPortal>(
        new RemoteDesktopPortal(std::move(options), version));
}

RemoteDesktopPortal::~RemoteDesktopPortal() {
    if (request_ != nullptr) {
        request_->forget();
    }
    if (!opening_.isEmpty()) {
        tellPortal(opening_, kPortalSession, QStringLiteral("Close"), {});
    }
    if (started()) {
        // The desktop lets go of what the session holds when it closes.
        callPortal(session_, kPortalSession, QStringLiteral("Close"), {});
    }
}

void RemoteDesktopPortal::step(const QString& method, QVariantList arguments, QVariantMap options,
                               std::chrono::milliseconds limit,
                               std::function<void(const QVariantMap&)> next) {
    request_ = PortalRequest::ask(
        kRemoteDesktop, method, std::move(arguments), std::move(options), limit, options_.log,
        [this, next = std::move(next)](const Response& response) {
            request_ = nullptr;
            if (response && response->first == kGranted && !withdrawn_) {
                next(response->second);
            } else {
                finish(withdrawn_                      ? Answer::Withdrawn
                       : !response                     ? Answer::NoAnswer
                       : response->first == kCancelled ? Answer::Refused
                                                       : Answer::Closed);
            }
        },
        this);
}

void RemoteDesktopPortal::start(Answered answered) {
    if (started()) {
        answered(Answer::Granted);
        return;
    }
    if (starting()) {
        return;
    }
    withdrawn_ = false;
    answered_ = std::move(answered);
    step(QStringLiteral("CreateSession"), {},
         {{QStringLiteral("session_handle_token"), portalToken()}}, kQuick,
         [this](const QVariantMap& created) {
             opening_ = portalPathOf(created.value(QStringLiteral("session_handle")));
             QVariantMap devices{{QStringLiteral("types"), kKeyboard | kPointer}};
             if (version_ >= 2) {
                 devices.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
                 const QString token = options_.loadToken ? options_.loadToken() : QString();
                 if (!token.isEmpty()) {
                     devices.insert(QStringLiteral("restore_token"), token);
                 }
             }
             const QVariant session = QVariant::fromValue(QDBusObjectPath(opening_));
             step(QStringLiteral("SelectDevices"), {session}, devices, kQuick,
                  [this, session](const QVariantMap&) {
                      // The dialog belongs to no window: GNOME gives the
                      // keyboard back to the window that had it (the game)
                      // once it closes, and our window's buttons work
                      // meanwhile. Tied to ours ("x11:<id>"), it would
                      // take neither the keyboard nor give it back but to
                      // ours, and a click on ours would go to it instead.
                      // The user may take their time: it is asked once a
                      // run, and can be withdrawn meanwhile.
                      step(QStringLiteral("Start"), {session, QString()}, {},
                           PortalRequest::kNoLimit, [this](const QVariantMap& results) {
                               const QString token =
                                   results.value(QStringLiteral("restore_token")).toString();
                               if (!token.isEmpty() && options_.saveToken) {
                                   options_.saveToken(token);
                               }
                               finish(Answer::Granted);
                           });
                  });
         });
}

void RemoteDesktopPortal::withdraw() {
    if (request_ != nullptr) {
        withdrawn_ = true;
        request_->withdraw();  // answers Withdrawn
    }
}

void RemoteDesktopPortal::finish(Answer answer) {
    if (answer == Answer::Granted) {
        session_ = std::exchange(opening_, QString());
        QDBusConnection::sessionBus().connect(kPortalService, session_, kPortalSession,
                                              QStringLiteral("Closed"), this,
                                              SLOT(onSessionClosed()));
    } else if (!opening_.isEmpty()) {
        tellPortal(std::exchange(opening_, QString()), kPortalSession, QStringLiteral("Close"), {});
    }
    if (const Answered answered = std::exchange(answered_, nullptr)) {
        answered(answer);
    }
}

void RemoteDesktopPortal::onSessionClosed() {
    forget(QStringLiteral("the desktop closed the remote desktop session"));
}

void RemoteDesktopPortal::forget(const QString& why) {
    options_.log.write(LogTopic::Wayland, LogLevel::Warning, why.toStdString());
    QDBusConnection::sessionBus().disconnect(kPortalService, session_, kPortalSession,
                                             QStringLiteral("Closed"), this,
                                             SLOT(onSessionClosed()));
    session_.clear();
}

std::vector<bool> RemoteDesktopPortal::send(const std::vector<Press>& presses) {
    std::vector<bool> taken(presses.size(), false);
    if (!started() || presses.empty()) {
        return taken;
    }
    // xdg-desktop-portal handles each call in a thread of its own, so it may
    // pass them on out of order; waiting for each answer would cost a round
    // trip a key. So a run of keys goes at once, and the next run, where
    // modifiers give way to other keys or back, once its answers are in:
    // the portal has passed a call on before it answers it.
    DirectCalls calls(QDBusConnection::sessionBus(), kPortalService, kPortalPath, kRemoteDesktop,
                      session_);
    std::vector<DirectCalls::Answer> answers;
    answers.reserve(presses.size());
    const auto collect = [&] {
        for (DirectCalls::Answer& answer : calls.wait(kNotifyLimit)) {
            answers.push_back(std::move(answer));
        }
    };
    for (std::size_t i = 0; i < presses.size(); ++i) {
        if (i > 0 && presses[i].modifier != presses[i - 1].modifier) {
            collect();
        }
        calls.call(presses[i].button ? "NotifyPointerButton" : "NotifyKeyboardKeycode",
                   std::int32_t(presses[i].code), presses[i].down ? 1U : 0U);
    }
    collect();
    QString refusal;
    for (std::size_t i = 0; i < presses.size(); ++i) {
        taken[i] = answers[i].answered && answers[i].error.isEmpty();
        if (!taken[i] && refusal.isEmpty()) {
            refusal =
                QStringLiteral("the Remote Desktop portal refused %1: %2")
                    .arg(presses[i].button ? QStringLiteral("a button") : QStringLiteral("a key"),
                         answers[i].answered ? answers[i].error
                                             : QStringLiteral("no answer in 2 s"));
        }
    }
    if (!refusal.isEmpty()) {
        // A call not answered in time may still go through: the session is
        // closed, and the desktop lets go of all it holds.
        tellPortal(session_, kPortalSession, QStringLiteral("Close"), {});
        forget(refusal);
    }
    return taken;
}

}  // namespace quindorel
