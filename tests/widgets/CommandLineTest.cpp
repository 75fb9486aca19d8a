// The command line's arguments, and the status line scripts read.
#include <QtTest>

#include "app/CommandAnswers.h"
#include "app/CommandLine.h"

using namespace quindorel;
using Action = CommandLine::Action;
using Phase = HoldEngine::Status::Phase;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void arguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::newRow("none: show the window") << QStringList{} << int(Action::Show);
        QTest::newRow("start") << QStringList{"--start"} << int(Action::Start);
        QTest::newRow("stop") << QStringList{"--stop"} << int(Action::Stop);
        QTest::newRow("toggle, one dash") << QStringList{"-toggle"} << int(Action::Toggle);
        QTest::newRow("status") << QStringList{"--status"} << int(Action::Status);
        QTest::newRow("help") << QStringList{"-h"} << int(Action::Help);
        QTest::newRow("version") << QStringList{"--version"} << int(Action::Version);
        QTest::newRow("unknown option") << QStringList{"--hold"} << int(Action::Invalid);
        QTest::newRow("stray argument") << QStringList{"start"} << int(Action::Invalid);
        QTest::newRow("two verbs") << QStringList{"--start", "--stop"} << int(Action::Invalid);
        QTest::newRow("a verb and help") << QStringList{"--stop", "--help"} << int(Action::Invalid);
    }
    void arguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        const CommandLine command = parseCommandLine(arguments);
        QCOMPARE(int(command.action), action);
        QCOMPARE(command.error.isEmpty(), action != int(Action::Invalid));
    }

    void statusLines_data() {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("secondsLeft");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("line");
        QTest::newRow("idle") << int(Phase::Idle) << -1 << ""
                              << "idle";
        QTest::newRow("waiting") << int(Phase::Waiting) << 3 << ""
                                 << "waiting 3";
        QTest::newRow("holding forever") << int(Phase::Holding) << -1 << "Game"
                                         << "holding forever: Left Shift, A into \"Game\"";
        QTest::newRow("holding, timed, an unlisted window")
            << int(Phase::Holding) << 4 << ""
            << "holding 4: Left Shift, A into window 42";
    }
    void statusLines() {
        QFETCH(int, phase);
        QFETCH(int, secondsLeft);
        QFETCH(QString, title);
        QFETCH(QString, line);
        HoldEngine::Status status;
        status.phase = Phase(phase);
        status.secondsLeft = secondsLeft;
        if (status.phase == Phase::Holding) {
            status.keys = {160, 65};
            status.window = 42;
        }
        QCOMPARE(CommandAnswers::statusLine(status, title), line);
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
