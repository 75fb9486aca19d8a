#include "platform/kde/KdeShortcuts.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QKeyCombination>

#include "platform/kde/KdeLeftovers.h"

namespace quindorel {

namespace {

const QString kService = QStringLiteral("org.kde.kglobalaccel");
const QStringList kActionId = kdeShortcutAction(KeyAction::StopHold);
const QStringList kToggleActionId = kdeShortcutAction(KeyAction::ToggleHold);
const QString& kComponent = kActionId[0];

void call(QObject* context, const QString& method, const QVariantList& arguments,
          std::function<void(const QDBusMessage&)> answered = {}) {
    callKdeLater(kService, QStringLiteral("/kglobalaccel"), QStringLiteral("org.kde.KGlobalAccel"),
                 method, arguments, context, std::move(answered));
}

// KGlobalAccel's flags of setShortcut.
constexpr uint kIsDefault = 1;
constexpr uint kSetPresent = 2;

}  // namespace

std::unique_ptr<KdeShortcuts> KdeShortcuts::open(SystemLog log, KeyGuard guard) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(kService).value()) {
        return nullptr;
    }
    return std::unique_ptr<KdeShortcuts>(new KdeShortcuts(std::move(log), std::move(guard)));
}

KdeShortcuts::~KdeShortcuts() {
    if (activeMaybe_) {
        setKdeShortcutsInactive();
        guard_.tell({{kKdeShortcuts, false}});
    }
}

bool KdeShortcuts::take() {
    if (asked_) {
        return true;
    }
    asked_ = true;
    // Both actions' presses come as one signal of our component.
    QString path = kComponent;
    path.replace(QLatin1Char('.'), QLatin1Char('_'));
    listening_ = QDBusConnection::sessionBus().connect(
        kService, QStringLiteral("/component/") + path,
        QStringLiteral("org.kde.kglobalaccel.Component"), QStringLiteral("globalShortcutPressed"),
        this, SLOT(onPressed(QString, QString, qlonglong)));
    if (!listening_) {
        log_.write(LogTopic::Wayland, LogLevel::Warning,
                   "cannot hear KDE's global shortcuts: Ctrl+Shift+S works only in X11 windows");
        return true;
    }
    // From here a shortcut may be active: set inactive by the guard should
    // the program be killed.
    guard_.tell({{kKdeShortcuts, true}});
    activeMaybe_ = true;
    // "Start or stop the hold", with no key of ours (one chosen for the
    // user could clash with the game's): the one the user gives it in
    // System Settings is KDE's to keep, and comes back with `SetPresent`.
    // Asked without waiting: the session bus keeps the calls' order, and
    // the answers come to the event loop.
    const QVariant none = QVariant::fromValue(QList<int>{});
    call(this, QStringLiteral("doRegister"), {kToggleActionId});
    call(this, QStringLiteral("setShortcut"), {kToggleActionId, none, kIsDefault});
    call(this, QStringLiteral("setShortcut"), {kToggleActionId, none, kSetPresent});
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

void KdeShortcuts::setShortcut(int key) {
    const QVariant keys = QVariant::fromValue(QList<int>{key});
    call(this, QStringLiteral("setShortcut"), {kActionId, keys, kIsDefault});
    // The user's own choice in System Settings, if any, wins over ours.
    call(this, QStringLiteral("setShortcut"), {kActionId, keys, kSetPresent},
         [this](const QDBusMessage& set) {
             if (set.type() != QDBusMessage::ReplyMessage) {
                 log_.write(LogTopic::Wayland, LogLevel::Warning,
                            "KDE's shortcut service did not take the stop key: " +
                                set.errorMessage().toStdString());
                 // A shortcut nobody hears must not swallow the key.
                 call(this, QStringLiteral("setInactive"), {kActionId});
                 return;
             }
             taken_ = true;
         });
}

void KdeShortcuts::onPressed(const QString& component, const QString& action, qlonglong) {
    if (component != kComponent || !pressed) {
        return;
    }
    if (action == kActionId[1] && taken_) {
        pressed(KeyAction::StopHold);
    } else if (action == kToggleActionId[1]) {
        pressed(KeyAction::ToggleHold);
    }
}

}  // namespace quindorel
