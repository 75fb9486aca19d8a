#include "platform/kde/KdeLeftovers.h"

#include <signal.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <cerrno>

namespace quindorel {

QDBusMessage callKde(const QString& service, const QString& path, const QString& interface,
                     const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 2000);
}

void callKdeLater(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& arguments, QObject* context,
                  std::function<void(const QDBusMessage&)> answered) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusPendingCall call = QDBusConnection::sessionBus().asyncCall(message, 2000);
    if (!answered) {
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, answered = std::move(answered)] {
                         watcher->deleteLater();
                         answered(watcher->reply());
                     });
}

QStringList kdeShortcutAction(KeyAction action) {
    if (action == KeyAction::ToggleHold) {
        return {QStringLiteral("com.marvenhal.quindorel"), QStringLiteral("toggle-hold"),
                QStringLiteral("Quindorel"), QStringLiteral("Start or stop the hold")};
    }
    return {QStringLiteral("com.marvenhal.quindorel"), QStringLiteral("stop-hold"),
            QStringLiteral("Quindorel"), QStringLiteral("Stop the hold")};
}

void unloadKwinScript(const QString& name) {
    // KWin answers false for a name it does not hold: nothing to tell.
    callKde(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
            QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("unloadScript"), {name});
}

namespace {

void askWhetherGone(const QString& name, QObject* context, std::function<void()> gone,
                    int triesLeft) {
    callKdeLater(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                 QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("isScriptLoaded"), {name},
                 context,
                 [name, context, gone = std::move(gone), triesLeft](const QDBusMessage& answer) {
                     if (!answer.arguments().value(0).toBool() || triesLeft <= 0) {
                         gone();
                         return;
                     }
                     QTimer::singleShot(20, context, [name, context, gone, triesLeft] {
                         askWhetherGone(name, context, gone, triesLeft - 1);
                     });
                 });
}

}  // namespace

void unloadKwinScriptLater(const QString& name, QObject* context, std::function<void()> gone) {
    callKdeLater(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                 QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("unloadScript"), {name},
                 context);
    if (gone) {
        askWhetherGone(name, context, std::move(gone), 40);
    }
}

QString kwinScriptFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/quindorel-kwin");
}

std::optional<KwinScriptFile> kwinScriptFile(const QString& fileName) {
    static const QRegularExpression pattern(
        QStringLiteral("^((?:windows|action)-([1-9][0-9]{0,9})(?:-[0-9]{1,20})?)\\.js$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return KwinScriptFile{QStringLiteral("quindorel-") + match.captured(1),
                          match.captured(2).toLongLong()};
}

QString kwinScriptFileName(const QString& kind, qint64 pid, const QString& number) {
    QString name = kind + QLatin1Char('-') + QString::number(pid);
    if (!number.isEmpty()) {
        name += QLatin1Char('-') + number;
    }
    return name + QStringLiteral(".js");
}

bool processGone(qint64 pid) {
    // A process of another user answers EPERM: it runs.
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void forgetKwinScripts(const QString& folder, const std::function<bool(qint64 pid)>& gone) {
    if (folder.isEmpty()) {
        return;
    }
    const QDir dir(folder);
    for (const QString& fileName : dir.entryList(QDir::Files)) {
        const auto script = kwinScriptFile(fileName);
        if (!script || !gone(script->pid)) {
            continue;
        }
        unloadKwinScript(script->scriptName);
        QFile::remove(dir.filePath(fileName));
    }
}

void setKdeShortcutsInactive() {
    for (const KeyAction action : {KeyAction::StopHold, KeyAction::ToggleHold}) {
        callKde(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/kglobalaccel"),
                QStringLiteral("org.kde.KGlobalAccel"), QStringLiteral("setInactive"),
                {kdeShortcutAction(action)});
    }
}

void letGoOnKde(const std::vector<GuardNote>& owed, qint64 pid) {
    for (const GuardNote& note : owed) {
        if (note.key == kKwinScripts) {
            forgetKwinScripts(kwinScriptFolder(), [pid](qint64 of) { return of == pid; });
            // Its file may be elsewhere (no runtime folder): the watcher by its name.
            unloadKwinScript(QStringLiteral("quindorel-") +
                             kwinScriptFileName(QStringLiteral("windows"), pid).chopped(3));
        } else if (note.key == kKdeShortcuts) {
            setKdeShortcutsInactive();
        }
    }
}

}  // namespace quindorel
