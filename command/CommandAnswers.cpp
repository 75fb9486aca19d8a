#include "command/CommandAnswers.h"

#include <utility>

#include "keys/HotKeyNames.h"
#include "keys/KeyTable.h"

namespace quindorel {

namespace {

namespace exitcode = command::exitcode;

QByteArray reply(int status, const QString& text) {
    return QByteArray::fromStdString(command::replyLine(status, text.toStdString()));
}

QString keyName(std::uint8_t code) {
    for (const KeyDefinition& key : keyTable()) {
        if (key.code == code) {
            return QString::fromUtf8(key.spokenName);
        }
    }
    return QStringLiteral("key %1").arg(code);
}

}  // namespace

CommandAnswers::CommandAnswers(HoldModel& model, std::function<WindowId()> inFront,
                               std::function<void()> show)
    : model_(model), inFront_(std::move(inFront)), show_(std::move(show)) {
    model_.onPermissionSettled([this] { permissionSettled(); });
}

QString CommandAnswers::statusLine(const HoldEngine::Status& status, const QString& windowTitle) {
    using Phase = HoldEngine::Status::Phase;
    switch (status.phase) {
        case Phase::Idle:
            return status.lastRefusal.empty()
                       ? QStringLiteral("idle")
                       : QStringLiteral("idle; the last start was turned down: %1")
                             .arg(QString::fromStdString(status.lastRefusal));
        case Phase::Waiting:
            if (status.askingPermission) {
                return QStringLiteral("waiting for the desktop's permission");
            }
            return status.secondsLeft > 0
                       ? QStringLiteral("waiting %1").arg(status.secondsLeft)
                       : QStringLiteral("waiting for the target window to take the keyboard");
        case Phase::Holding:
            break;
    }
    QStringList keys;
    for (const std::uint8_t key : status.keys) {
        keys << keyName(key);
    }
    const QString window = windowTitle.isEmpty() ? QStringLiteral("window %1").arg(status.window)
                                                 : QStringLiteral("\"%1\"").arg(windowTitle);
    const QString length =
        status.secondsLeft > 0 ? QString::number(status.secondsLeft) : QStringLiteral("forever");
    return QStringLiteral("holding %1: %2 into %3")
        .arg(length, keys.join(QLatin1String(", ")), window);
}

QString CommandAnswers::nowLine() const {
    const HoldEngine::Status now = model_.status();
    return statusLine(now, model_.targetFinder().titleOf(now.window));
}

QByteArray CommandAnswers::status() const {
    const HoldEngine::Status::Phase phase = model_.status().phase;
    const int code = phase == HoldEngine::Status::Phase::Idle      ? exitcode::kDone
                     : phase == HoldEngine::Status::Phase::Waiting ? exitcode::kWaiting
                                                                   : exitcode::kHolding;
    QString line = nowLine();
    if (const std::optional<HotKey> key = model_.toggleKey().key()) {
        line += QStringLiteral("; start/stop key: ") + hotKeyName(*key);
        if (model_.toggleKey().paused()) {
            line += QStringLiteral(" (being chosen in the window)");
        } else if (!model_.toggleKey().working()) {
            line += QStringLiteral(" (taken by another program)");
        }
    }
    if (!desktopNote_.isEmpty()) {
        line += QStringLiteral("; ") + desktopNote_;
    }
    return reply(code, line);
}

QByteArray CommandAnswers::started(HoldModel::CommandResult result) const {
    switch (result) {
        case HoldModel::CommandResult::Done:
            // Turned down on the way (the desktop's dialog): the notice says why.
            if (model_.status().phase == HoldEngine::Status::Phase::Idle &&
                model_.notices().shown()) {
                return reply(exitcode::kRefused, model_.notices().text());
            }
            return reply(exitcode::kDone, nowLine());
        case HoldModel::CommandResult::Busy:
            return reply(exitcode::kDone,
                         QStringLiteral("already %1; nothing changed").arg(nowLine()));
        case HoldModel::CommandResult::NoKeys:
            return reply(exitcode::kRefused, QStringLiteral("no key is marked"));
        case HoldModel::CommandResult::NoTarget:
            // A window may be in front that this desktop keeps out of reach
            // (a native one where KWin does not let the program in): the
            // note says why and what to do, as --status does.
            if (!desktopNote_.isEmpty()) {
                return reply(exitcode::kRefused,
                             QStringLiteral("no window to hold into; ") + desktopNote_);
            }
            return reply(exitcode::kRefused,
                         QStringLiteral("no window to hold into: choose one in Quindorel, "
                                        "or run the command while the window is in front"));
        case HoldModel::CommandResult::NoLength:
            return reply(exitcode::kRefused,
                         QStringLiteral("\"X seconds\" has no length yet: give it in Quindorel "
                                        "with \"Turn On\""));
    }
    return reply(exitcode::kRefused, QString());
}

void CommandAnswers::start(HoldModel::CommandResult result, Reply reply) {
    const HoldEngine::Status now = model_.status();
    if (result == HoldModel::CommandResult::Done && now.waitingForDesktop) {
        askedUser_ = askedUser_ || now.askingPermission;
        waiting_.push_back(std::move(reply));
    } else {
        reply(started(result));
    }
}

void CommandAnswers::permissionSettled() {
    const HoldEngine::Status now = model_.status();
    if (now.waitingForDesktop || waiting_.empty()) {
        return;
    }
    QByteArray line;
    if (now.phase != HoldEngine::Status::Phase::Idle) {
        line = quindorel::reply(exitcode::kDone, nowLine());
    } else if (!now.lastRefusal.empty()) {
        line = quindorel::reply(exitcode::kRefused, QString::fromStdString(now.lastRefusal));
    } else if (askedUser_) {
        line = quindorel::reply(exitcode::kRefused,
                                QStringLiteral("The hold was stopped while the desktop's dialog "
                                               "for remote control was open, so no keys are "
                                               "held."));
    } else {
        line = quindorel::reply(exitcode::kRefused,
                                QStringLiteral("The hold was stopped before its keys went down, "
                                               "so no keys are held."));
    }
    askedUser_ = false;
    for (const Reply& reply : std::exchange(waiting_, {})) {
        reply(line);
    }
}

QByteArray CommandAnswers::chooseToggleKey(const QString& name) {
    std::optional<HotKey> key;
    if (name.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        key = hotKeyNamed(name);
        if (!key) {
            return reply(exitcode::kUsage,
                         QStringLiteral("no key is named \"%1\": write it as Ctrl+F9, "
                                        "with the key's name as Quindorel's keyboard says it")
                             .arg(name));
        }
    }
    if (const QString why = model_.chooseToggleKey(key); !why.isEmpty()) {
        return reply(exitcode::kRefused, why);
    }
    return reply(
        exitcode::kDone,
        QStringLiteral("start/stop key: %1").arg(key ? hotKeyName(*key) : QStringLiteral("none")));
}

void CommandAnswers::answer(const command::Request& request, Reply reply,
                            std::function<WindowId()> inFront) {
    const std::function<WindowId()>& front = inFront ? inFront : inFront_;
    switch (request.verb) {
        case command::Verb::ToggleKey:
            reply(chooseToggleKey(QString::fromStdString(request.argument).trimmed()));
            return;
        case command::Verb::Show:
            show_();
            reply(quindorel::reply(exitcode::kDone, QStringLiteral("shown")));
            return;
        case command::Verb::Status:
            reply(status());
            return;
        case command::Verb::Stop:
            model_.stopNow();
            reply(quindorel::reply(exitcode::kDone, nowLine()));
            return;
        case command::Verb::Start:
            start(model_.startNow(front), std::move(reply));
            return;
        case command::Verb::Toggle:
            break;
    }
    start(model_.toggle(front), std::move(reply));
}

}  // namespace quindorel
