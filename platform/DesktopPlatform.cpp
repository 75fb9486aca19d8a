#include "platform/DesktopPlatform.h"

#include "QuindorelConfig.h"

#include <algorithm>

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QSocketNotifier>

#include "platform/JointDesktop.h"
#include "platform/NullDesktop.h"
#include "platform/QtClock.h"
#include "platform/QtSystemLog.h"
#include "platform/QtWaiter.h"
#include "settings/ProgramSettings.h"

#if QUINDOREL_X11
#include "platform/GuardSocket.h"
#include "platform/x11/X11Desktop.h"
#endif
#if QUINDOREL_WAYLAND
#include "platform/gnome/PortalDesktop.h"
#include "platform/gnome/PortalStopKey.h"
#include "platform/kde/KdeLeftovers.h"
#include "platform/kde/KdeShortcuts.h"
#include "platform/kde/KwinWindows.h"
#include "platform/wayland/RepeatSettings.h"
#include "platform/wayland/WaylandDesktop.h"
#include "platform/wayland/WaylandKeyGuard.h"
#endif
#if QUINDOREL_WINDOWS
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32KeyGuard.h"
#endif

namespace quindorel {

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Report texts keep the classic CR LF / CR line ends; a label wants LF.
QString forDisplay(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool x11Preferred = false;  // preferX11Platform() asked Qt for xcb

// Why no X11 display is open, and what to do, in a user's words.
QString noX11Notice() {
    QString why;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        why = QStringLiteral("no X server or Xwayland was found (DISPLAY is not set)");
    } else if (x11Preferred) {
        why = QStringLiteral("the X display %1 named in DISPLAY cannot be reached")
                  .arg(qEnvironmentVariable("DISPLAY"));
    } else {
        why = QStringLiteral("Qt runs on its \"%1\" platform, chosen in QT_QPA_PLATFORM")
                  .arg(QGuiApplication::platformName());
    }
    return QStringLiteral(
               "Quindorel cannot send keys on this desktop.\n\n"
               "It reaches windows through X11, and %1. The list of applications stays empty "
               "and a hold presses no keys. Marked keys and settings are still saved.\n\n"
               "On a Wayland desktop, X11 programs (most games under Wine or Proton among them) "
               "run on Xwayland, and Quindorel can hold keys in them when it runs there too: "
               "start it with Xwayland running (DISPLAY set) and QT_QPA_PLATFORM unset or set "
               "to xcb.")
        .arg(why);
}

#if QUINDOREL_WAYLAND
// The app id Qt's wayland platform gives the program's windows.
std::string ownAppId() {
    QString id = QGuiApplication::desktopFileName();
    if (id.endsWith(QLatin1String(".desktop"))) {
        id.chop(8);
    }
    if (id.isEmpty()) {
        id = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    }
    return id.toStdString();
}

// The shell command that runs `option` in this copy (--stop, --toggle), for
// a desktop's key binding: this program with the option, finding this
// copy's channel through this copy's runtime folder. Empty when a path
// holds characters that would need quoting beyond single quotes.
std::string commandOf(const char* option) {
    const QString program = QCoreApplication::applicationFilePath();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9/._+=:@ -]*$"));
    if (!plain.match(program).hasMatch() || !plain.match(runtime).hasMatch()) {
        return {};
    }
    QString command = QStringLiteral("'%1' %2").arg(program, QLatin1String(option));
    if (!runtime.isEmpty()) {
        command = QStringLiteral("env XDG_RUNTIME_DIR='%1' %2").arg(runtime, command);
    }
    return command.toStdString();
}
#endif

}  // namespace

DesktopPlatform::DesktopPlatform(std::unique_ptr<NativeDesktop> desktop)
    : desktop_(std::move(desktop)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DesktopPlatform::~DesktopPlatform() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

std::unique_ptr<Clock> DesktopPlatform::createClock() {
    return std::make_unique<QtClock>();
}

bool DesktopPlatform::nativeEventFilter(const QByteArray&, void* message, qintptr*) {
    const std::optional<KeyAction> action = desktop_->keyActionOf(message);
    if (!action) {
        return false;
    }
    // Handled from the ordinary event loop, never from inside the filter.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, action = *action] {
            if (keyActionHandler_) {
                keyActionHandler_(action);
            }
        },
        Qt::QueuedConnection);
    return true;
}

void DesktopPlatform::messageBox(const QString& text, const QString& title, MessageIcon icon) {
    QMessageBox box(toQt(icon), title.isEmpty() ? applicationTitle_ : title, forDisplay(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

std::optional<QString> DesktopPlatform::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(),
                                               title.isEmpty() ? applicationTitle_ : title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

void serveKeyGuardIfAsked([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#if QUINDOREL_WINDOWS
    keyguard::serveIfGuard(argc, argv);
#endif
}

KeyGuard startKeyGuard() {
#if QUINDOREL_WINDOWS
    // A copy started as the guard never gets here: serveKeyGuardIfAsked,
    // called first thing, served and ended it.
    return keyguard::start(qtSystemLog());
#endif
#if QUINDOREL_X11
    // Only where there is a display to guard keys on; each system lets go
    // of its own.
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = QUINDOREL_WAYLAND && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (x11 || wayland) {
        // The program's own id, for what it left in KDE under its name.
        const qint64 program = QCoreApplication::applicationPid();
        return startSocketGuard(qtSystemLog(), [x11, wayland,
                                                program](const std::vector<GuardNote>& owed) {
            if (x11) {
                letGoOnX11(owed);
            }
#if QUINDOREL_WAYLAND
            if (wayland) {
                letGoOnWayland(owed);
                letGoOnKde(owed, program);
            }
            // GNOME's or KDE's client key repeat,
            // still off.
            const auto repeatOff = [](const GuardNote& note) {
                return note.key == kDesktopRepeatOff;
            };
            if (std::any_of(owed.begin(), owed.end(), repeatOff)) {
                putBackNotedRepeat(RepeatNote(RepeatNote::defaultPath()), desktopRepeatSetting, {});
            }
#endif
        });
    }
#endif
    return {};
}

void DesktopPlatform::showStartUpNotice() {
    if (!startUpNotice_.isEmpty()) {
        messageBox(startUpNotice_, QString(), MessageIcon::Exclamation);
    }
}

void preferX11Platform() {
#if QUINDOREL_X11
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        // Wayland after xcb: a DISPLAY whose X server is gone must not keep
        // the program from starting in a Wayland session.
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
        x11Preferred = true;
    }
#endif
}

void DesktopPlatform::pumpWayland([[maybe_unused]] WaylandDesktop* wayland) {
#if QUINDOREL_WAYLAND
    // Our own connection's events, read as they come: the window list and
    // the window in front stay current without a poll.
    waylandPump_ = std::make_unique<QSocketNotifier>(wayland->fd(), QSocketNotifier::Read);
    QObject::connect(waylandPump_.get(), &QSocketNotifier::activated, waylandPump_.get(),
                     [this, wayland] {
                         if (!wayland->dispatch()) {
                             waylandPump_->setEnabled(false);
                         }
                     });
    // Sway's reloads, heard as they come.
    if (wayland->swayFd() >= 0) {
        swayPump_ = std::make_unique<QSocketNotifier>(wayland->swayFd(), QSocketNotifier::Read);
        QObject::connect(swayPump_.get(), &QSocketNotifier::activated, swayPump_.get(),
                         [this, wayland] {
                             wayland->dispatch();
                             if (wayland->swayFd() < 0) {
                                 swayPump_->setEnabled(false);
                             }
                         });
    }
#endif
}

void DesktopPlatform::hearShortcuts([[maybe_unused]] DesktopShortcuts* shortcuts) {
#if QUINDOREL_WAYLAND
    // A desktop's own stop key comes as a call, not as a native event.
    if (shortcuts != nullptr) {
        shortcuts->pressed = [this](KeyAction action) {
            if (keyActionHandler_) {
                keyActionHandler_(action);
            }
        };
        shortcuts->takenLater = [this] {
            if (stopKeyTakenHandler_) {
                stopKeyTakenHandler_();
            }
        };
    }
#endif
}

#if QUINDOREL_WAYLAND
namespace {

// The native windows of a Wayland session, beside its Xwayland ones: the
// desktop, or why they are out of reach.
struct NativeSide {
    std::unique_ptr<NativeDesktop> desktop;
    WaylandDesktop* pumped = nullptr;  // the desktop, when its connection needs reading
    QString note;
    DesktopShortcuts* shortcuts = nullptr;  // kept by the desktop
};

const QString kPortalToken = QStringLiteral("RemoteDesktopToken");

// GNOME's way in: the Remote Desktop portal, for the window in front, and
// the stop key through its global shortcuts where it has them.
std::unique_ptr<PortalDesktop> openPortalDesktop(DesktopShortcuts** stopKey,
                                                 const KeyGuard& keyGuard) {
    PortalDesktop::Options options;
    options.stopKey = PortalStopKey::open(qtSystemLog());
    *stopKey = options.stopKey.get();
    options.log = qtSystemLog();
    options.makeClock = [] { return std::make_unique<QtClock>(); };
    // The portal's token is kept with the settings.
    options.portal.log = qtSystemLog();
    options.portal.loadToken = [] {
        return QtSettingsStore().getSetting(setting::kApplication, setting::kSection, kPortalToken,
                                            QString());
    };
    options.portal.saveToken = [](const QString& token) {
        QtSettingsStore().saveSetting(setting::kApplication, setting::kSection, kPortalToken,
                                      token);
    };
    auto desktop = PortalDesktop::open(std::move(options));
    if (desktop) {
        desktop->repeatOffWhileHolding(desktopRepeatSetting(kGnomeRepeat),
                                       RepeatNote(RepeatNote::defaultPath()), keyGuard);
    }
    return desktop;
}

NativeSide openNativeSide(const KeyGuard& keyGuard) {
    WaylandDesktop::Options options;
    options.ownAppId = ownAppId();
    options.stopCommand = commandOf("--stop");
    options.toggleCommand = commandOf("--toggle");
    options.guard = keyGuard;
    options.log = qtSystemLog();
    options.makeClock = [] { return std::make_unique<QtClock>(); };
    // KWin lists its windows to a script of ours, not over Wayland, and KDE
    // keeps the stop key among its global shortcuts.
    options.otherWindows = [keyGuard]() -> std::unique_ptr<NativeWindows> {
        return KwinWindows::open(qtSystemLog(), std::make_unique<QtWaiter>(), keyGuard);
    };
    options.shortcuts = [keyGuard]() -> std::unique_ptr<DesktopShortcuts> {
        return KdeShortcuts::open(qtSystemLog(), keyGuard);
    };
    std::string whyNot;
    NativeSide side;
    if (auto desktop = WaylandDesktop::open(std::move(options), &whyNot)) {
        if (desktop->isKwin()) {
            desktop->repeatOffWhileHolding(desktopRepeatSetting(kKdeRepeat),
                                           RepeatNote(RepeatNote::defaultPath()), keyGuard);
        }
        side.pumped = desktop.get();
        side.shortcuts = desktop->desktopShortcuts();
        side.desktop = std::move(desktop);
    } else if (auto portal = openPortalDesktop(&side.shortcuts, keyGuard)) {
        side.desktop = std::move(portal);
        side.note = QStringLiteral(
            "This desktop lets Quindorel neither list nor raise native Wayland windows: choose "
            "\"(the window in front when the wait ends)\" and click the window during the "
            "wait. Mouse buttons go down where the pointer is");
        side.note += side.shortcuts != nullptr
                         ? QStringLiteral(".")
                         : QStringLiteral(
                               ", and for Ctrl+Shift+S in every window give \"quindorel "
                               "--stop\" a shortcut in the desktop's keyboard settings.");
    } else {
        side.note = QStringLiteral(
                        "Native Wayland windows are out of reach: %1. "
                        "X11 windows are listed and held as ever.")
                        .arg(QString::fromStdString(whyNot));
    }
    return side;
}

}  // namespace
#endif

void DesktopPlatform::putBackWhatARunLeft() {
#if QUINDOREL_WAYLAND
    // A run that ended with its guard (power lost) left the desktop's key
    // repeat off: its note says what the user had.
    putBackNotedRepeat(RepeatNote(RepeatNote::defaultPath()), desktopRepeatSetting, qtSystemLog());
#endif
}

std::unique_ptr<DesktopPlatform> createDesktopPlatform(KeyGuard keyGuard) {
#if QUINDOREL_WINDOWS
    return std::make_unique<DesktopPlatform>(std::make_unique<Win32Desktop>(
        std::move(keyGuard), qtSystemLog(), std::make_unique<QtWaiter>()));
#endif
    std::unique_ptr<NativeDesktop> x11;
#if QUINDOREL_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto desktop = X11Desktop::fromQt(qtSystemLog(), std::make_unique<QtWaiter>())) {
            desktop->setKeyGuard(keyGuard);
            x11 = std::move(desktop);
        }
    }
#endif
    std::unique_ptr<NativeDesktop> native;
    QString nativeNote;
    DesktopShortcuts* shortcuts = nullptr;
    WaylandDesktop* pumped = nullptr;
#if QUINDOREL_WAYLAND
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        NativeSide side = openNativeSide(keyGuard);
        shortcuts = side.shortcuts;
        nativeNote = side.note;
        pumped = side.pumped;
        native = std::move(side.desktop);
    }
#endif
    std::unique_ptr<NativeDesktop> desktop;
    if (x11 && native) {
        desktop = std::make_unique<JointDesktop>(std::move(x11), std::move(native));
    } else {
        desktop = x11 ? std::move(x11) : std::move(native);
    }
    if (!desktop) {
        // Nothing to guard: the guard ends as its link closes here.
        auto platform = std::make_unique<DesktopPlatform>(std::make_unique<NullDesktop>());
        platform->startUpNotice_ = noX11Notice();
        return platform;
    }
    auto platform = std::make_unique<DesktopPlatform>(std::move(desktop));
    if (pumped != nullptr) {
        platform->pumpWayland(pumped);
    }
    platform->hearShortcuts(shortcuts);
    platform->desktopNote_ = nativeNote;
    return platform;
}

}  // namespace quindorel
