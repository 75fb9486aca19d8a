#include "app/CommandAnswers.h"

#include "app/CommandLine.h"
#include "keys/KeyTable.h"

namespace quindorel {

namespace {

QByteArray reply(int status, const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QByteArray::number(status) + ' ' + line.toUtf8();
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
            return QStringLiteral("idle");
        case Phase::Waiting:
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
    return reply(code, nowLine());
}

QByteArray CommandAnswers::started(HoldModel::CommandResult result) const {
    switch (result) {
        case HoldModel::CommandResult::Done:
            return reply(exitcode::kDone, nowLine());
        case HoldModel::CommandResult::Busy:
            return reply(exitcode::kDone,
                         QStringLiteral("already %1; nothing changed").arg(nowLine()));
        case HoldModel::CommandResult::NoKeys:
            return reply(exitcode::kRefused, QStringLiteral("no key is marked"));
        case HoldModel::CommandResult::NoTarget:
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

QByteArray CommandAnswers::answer(const QByteArray& verb) {
    if (verb == "show") {
        show_();
        return reply(exitcode::kDone, QStringLiteral("shown"));
    }
    if (verb == "status") {
        return status();
    }
    if (verb == "stop") {
        model_.stopNow();
        return reply(exitcode::kDone, nowLine());
    }
    if (verb == "start") {
        return started(model_.startNow(inFront_));
    }
    if (verb == "toggle") {
        return started(model_.toggle(inFront_));
    }
    return reply(exitcode::kUsage, QStringLiteral("unknown command"));
}

}  // namespace quindorel
