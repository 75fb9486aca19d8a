#include "command/CommandAnswers.h"

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
    return reply(
        code, desktopNote_.isEmpty() ? nowLine() : nowLine() + QStringLiteral("; ") + desktopNote_);
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
            // Idle, yet busy: a pass waits for the desktop (its dialog, say).
            if (model_.status().phase == HoldEngine::Status::Phase::Idle) {
                return reply(exitcode::kDone,
                             QStringLiteral("a hold is starting (answer the desktop's dialog if "
                                            "one is open); nothing changed"));
            }
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

QByteArray CommandAnswers::answer(command::Verb verb) {
    switch (verb) {
        case command::Verb::Show:
            show_();
            return reply(exitcode::kDone, QStringLiteral("shown"));
        case command::Verb::Status:
            return status();
        case command::Verb::Stop:
            model_.stopNow();
            return reply(exitcode::kDone, nowLine());
        case command::Verb::Start:
            return started(model_.startNow(inFront_));
        case command::Verb::Toggle:
            break;
    }
    return started(model_.toggle(inFront_));
}

}  // namespace quindorel
