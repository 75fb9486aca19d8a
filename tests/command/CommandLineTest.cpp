// The command line's arguments, the words every end of the channel shares,
// and the status line scripts read.
#include <QtTest>

#include "command/CommandAnswers.h"
#include "command/CommandLine.h"

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

    // Every verb reaches the running copy by the same word from each end:
    // the launcher's option, the full command line and the channel.
    void verbsRoundTrip() {
        for (const command::Verb verb : command::kVerbs) {
            const std::string name(command::verbName(verb));
            // The one verb with an argument; given where none belongs, or
            // missing, the request is not ours.
            const bool takesKey = verb == command::Verb::ToggleKey;
            const command::Request request(verb, takesKey ? "Ctrl+Page Up" : "");
            const std::string line = command::requestLine(request);
            QCOMPARE(command::readRequest(line.substr(0, line.size() - 1)), request);
            QCOMPARE(command::readRequest(line.substr(0, line.size() - 1) + '\r'), request);
            QVERIFY(!command::readRequest(takesKey ? name : name + " x"));
            const QString option = QStringLiteral("--") + QString::fromStdString(name);
            const CommandLine parsed = parseCommandLine(
                takesKey ? QStringList{option, "Ctrl+Page Up"} : QStringList{option});
            if (verb == command::Verb::Show) {
                QVERIFY(!command::optionVerb("--" + name));
                QCOMPARE(parsed.action, Action::Invalid);
            } else {
                QCOMPARE(command::optionVerb("-" + name), verb);
                QCOMPARE(parsed.request(), request);
            }
        }
        QCOMPARE(parseCommandLine({}).verb(), command::Verb::Show);
        for (const char* word : {"", "Start", "stop ", "toggle\n", "statuses", "-"}) {
            QVERIFY(!command::readRequest(word));
            QVERIFY(!command::optionVerb(word));
        }
        QVERIFY(!command::optionVerb("status") && !command::optionVerb("---stop"));
    }

    void replies_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("error");
        QTest::newRow("idle") << "0 idle" << 0 << "idle" << false;
        QTest::newRow("holding") << "4 holding 4: A into \"x y\"" << 4
                                 << "holding 4: A into \"x y\"" << false;
        QTest::newRow("refused") << "5 no key is marked" << 5 << "no key is marked" << true;
        QTest::newRow("usage") << "2 " << 2 << "" << true;
        QTest::newRow("no status: not ours") << "garbage" << 5 << "garbage" << true;
        QTest::newRow("nothing") << "" << 5 << "" << true;
    }
    void replies() {
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(bool, error);
        const command::Reply reply = command::readReply(line.toStdString());
        QCOMPARE(reply.status, status);
        QCOMPARE(QString::fromStdString(reply.text), text);
        QCOMPARE(command::printedAsError(reply.status), error);
        if (line.contains(' ')) {  // and written back, on one line
            QCOMPARE(command::replyLine(status, text.toStdString()), line.toStdString());
            QCOMPARE(command::replyLine(status, "a\nb"), std::to_string(status) + " a b");
        }
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
        QTest::newRow("asking the desktop") << int(Phase::Waiting) << -1 << "ask"
                                            << "waiting for the desktop's permission";
        QTest::newRow("idle after a refusal")
            << int(Phase::Idle) << -1 << "refused"
            << "idle; the last start was turned down: Remote control was not allowed.";
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
        status.askingPermission = title == "ask";
        if (title == "refused") {
            status.lastRefusal = "Remote control was not allowed.";
        }
        if (status.phase == Phase::Holding) {
            status.keys = {160, 65};
            status.window = 42;
        }
        QCOMPARE(CommandAnswers::statusLine(status, title), line);
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
