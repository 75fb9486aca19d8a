#include "platform/kde/KdeStopKey.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QKeyCombination>

#include "platform/kde/KdeLeftovers.h"

namespace quindorel {

namespace {

const QString kService = QStringLiteral("org.kde.kglobalaccel");
const QStringList kActionId = kdeStopKeyAction();
const QString& kComponent = kActionId[0];
const QString& kAction = kActionId[1];

void call(QObject* context, const QString& method, const QVariantList& arguments,
          std::function<void(const QDBusMessage&)> answered = {}) {
    callKdeLater(kService, QStringLiteral("/kglobalaccel"), QStringLiteral("org.kde.KGlobalAccel"),
                 method, arguments, context, std::move(answered));
}

// KGlobalAccel's flags of setShortcut.
constexpr uint kIsDefault = 1;
constexpr uint kSetPresent = 2;

}  // namespace

std::unique_ptr<KdeStopKey> KdeStopKey::open(SystemLog log, KeyGuard guard) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(kService).value()) {
        return nullptr;
    }
    return std::unique_ptr<KdeStopKey>(new KdeStopKey(std::move(log), std::move(guard)));
}

KdeStopKey::~KdeStopKey() {
    if (activeMaybe_) {
        setKdeStopKeyInactive();
        guard_.tell({{kKdeStopKey, false}});
    }
}

bool KdeStopKey::take() {
    if (asked_) {
        return true;
    }
    asked_ = true;
    // Asked without waiting: the session bus keeps the calls' order, and
    // the answers come to the event loop.
    const int key =
        QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_S).toCombined();
    call(this, QStringLiteral("doRegister"), {kActionId});
    call(this, QStringLiteral("isGlobalShortcutAvailable"), {key, kComponent},
         [this, key](const QDBusMessage& available) {
             if (available.type() == QDBusMessage::ReplyMessage &&
                 !available.arguments().value(0).toBool()) {
                 log_.write(LogTopic::Wayland, LogLevel::Debug,
                            "another program's KDE shortcut has Ctrl+Shift+S");
                 if (takenLater) {
                     takenLater();
                 }
                 return;
             }
             setShortcut(key);
         });
    return true;  // not known to be another program's: the X11 stop key still works
}

void KdeStopKey::setShortcut(int key) {
    const QVariant keys = QVariant::fromValue(QList<int>{key});
    // From here the shortcut may be active: set inactive by the guard should
    // the program be killed.
    guard_.tell({{kKdeStopKey, true}});
    activeMaybe_ = true;
    call(this, QStringLiteral("setShortcut"), {kActionId, keys, kIsDefault});
    // The user's own choice in System Settings, if any, wins over ours.
    call(this, QStringLiteral("setShortcut"), {kActionId, keys, kSetPresent},
         [this](const QDBusMessage& set) {
             if (set.type() != QDBusMessage::ReplyMessage) {
                 log_.write(LogTopic::Wayland, LogLevel::Warning,
                            "KDE's shortcut service did not take the stop key: " +
                                set.errorMessage().toStdString());
             } else {
                 QString path = kComponent;
                 path.replace(QLatin1Char('.'), QLatin1Char('_'));
                 taken_ = QDBusConnection::sessionBus().connect(
                     kService, QStringLiteral("/component/") + path,
                     QStringLiteral("org.kde.kglobalaccel.Component"),
                     QStringLiteral("globalShortcutPressed"), this,
                     SLOT(onPressed(QString, QString, qlonglong)));
             }
             if (!taken_) {
                 // A shortcut nobody hears must not swallow the key.
                 setKdeStopKeyInactive();
                 guard_.tell({{kKdeStopKey, false}});
                 activeMaybe_ = false;
             }
         });
}

void KdeStopKey::onPressed(const QString& component, const QString& action, qlonglong) {
    if (component == kComponent && action == kAction) {
        if (pressed) {
            pressed();
        }
    }
}

}  // namespace quindorel
