// The verbs a command from outside the window uses: start, stop and toggle in
// both modes, from each state, and which window a start aims at.
#include <QtTest>

#include "Fixture.h"
#include "command/CommandAnswers.h"

using namespace quindorel;
using namespace quindorel::testing;

using Phase = HoldEngine::Status::Phase;
using Result = HoldModel::CommandResult;

class HoldCommandTest : public QObject {
    Q_OBJECT

    // Window 42 listed and chosen, "a" marked, a waiting time of 3 s and in
    // timed mode a length of 5 s; then brought into `state`.
    static void prepare(Fixture& f, bool timed, const QString& state) {
        f.addWindow(42, "Game");
        f.writeKeySet("65,\r\n");
        f.start();
        f.model().typeWaitTime("3");
        if (timed) {
            f.chooseMode(UserChoices::Mode::Timed);
            f.chooseHoldRow(1);
        }
        if (state != "idle") {
            f.turnSwitch();
            for (int i = 0; i < (state == "holding" ? 3 : 1); ++i) {
                f.waitClock().tick();
            }
        }
        f.desktop().calls.clear();
    }

private slots:
    void verbs_data() {
        QTest::addColumn<bool>("timed");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("after");
        const QStringList down{"down 65"}, up{"up 65"}, none;
        for (const bool timed : {false, true}) {
            const auto row = [&](const char* before, const char* verb, const QStringList& keys,
                                 Phase after) {
                QTest::addRow("%s, %s, %s", timed ? "timed" : "forever", before, verb)
                    << timed << before << verb << keys << int(after);
            };
            row("idle", "start", down, Phase::Holding);
            row("idle", "stop", none, Phase::Idle);
            row("idle", "toggle", down, Phase::Holding);
            row("waiting", "start", none, Phase::Waiting);
            row("waiting", "stop", none, Phase::Idle);
            row("waiting", "toggle", none, Phase::Idle);
            row("holding", "start", none, Phase::Holding);
            row("holding", "stop", up, Phase::Idle);
            row("holding", "toggle", up, Phase::Idle);
        }
    }
    void verbs() {
        QFETCH(bool, timed);
        QFETCH(QString, before);
        QFETCH(QString, verb);
        QFETCH(QStringList, keys);
        QFETCH(int, after);
        Fixture f;
        prepare(f, timed, before);
        if (verb == "start") {
            f.model().startNow([] { return 7; });
        } else if (verb == "stop") {
            f.model().stopNow();
        } else {
            f.model().toggle([] { return 7; });
        }
        QCOMPARE(f.desktop().keyCalls(), keys);
        QCOMPARE(int(f.model().status().phase), after);
        // The window shows the truth: only a waiting hold left alone keeps the switch on.
        QCOMPARE(f.switchOn(),
                 after == int(Phase::Waiting) || (before == "holding" && verb == "start"));
        if (keys == QStringList{"down 65"}) {
            QVERIFY(f.desktop().calls.contains("topmost 42"));
        }
        // Afterwards a wait left alone presses and a timed hold ends; nothing else happens.
        f.desktop().calls.clear();
        for (int i = 0; i < 10; ++i) {
            f.waitClock().tick();
            f.holdClock().tick();
        }
        QStringList later;
        if (after == int(Phase::Waiting)) {
            later << "down 65";
        } else if (timed && after == int(Phase::Holding) && !f.switchOn()) {
            later << "up 65";
        }
        QCOMPARE(f.desktop().keyCalls(), later);
    }

    void timedStartCountsDownToItsKeyUps() {
        Fixture f;
        prepare(f, true, "idle");
        QCOMPARE(f.model().startNow([] { return 0; }), Result::Done);
        QCOMPARE(f.model().status().secondsLeft, 5);
        QCOMPARE(f.model().status().window, 42);
        QCOMPARE(f.model().status().keys, std::vector<std::uint8_t>{65});
        f.holdClock().tick();
        f.holdClock().tick();
        QCOMPARE(f.model().status().secondsLeft, 3);
        f.model().turnSwitch();  // waiting again; the timed hold waits for "Turn Off"
        QCOMPARE(f.model().status().secondsLeft, -1);
    }

    // A start the desktop asks the user about: its reply waits for the
    // answer while the program goes on; the status says what it waits for;
    // a stop, "Turn Off" or a release withdraws the question; a timed
    // hold's length counts from the key-downs.
    void startWhileTheDesktopAsks_data() {
        QTest::addColumn<bool>("timed");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("refusal");
        const QString stopped =
            "5 The hold was stopped while the desktop's dialog for remote control was open, so "
            "no keys are held.";
        QTest::newRow("yes") << false << "yes"
                             << "0 holding forever: A into \"Game\"" << QStringList{"down 65"}
                             << "";
        QTest::newRow("yes, timed, the hold clock ticking while it asks")
            << true << "yes"
            << "0 holding 5: A into \"Game\"" << QStringList{"down 65"} << "";
        QTest::newRow("yes, with our window clicked meanwhile")
            << false << "yes, ours"
            << "0 waiting for the target window to take the keyboard" << QStringList{} << "";
        QTest::newRow("no") << false << "no"
                            << "5 Not allowed." << QStringList{} << "Not allowed.";
        QTest::newRow("no, as the desktop gives our window the keyboard back")
            << false << "no, ours"
            << "5 Not allowed." << QStringList{} << "Not allowed.";
        QTest::newRow("a stop") << false << "stop" << stopped << QStringList{} << "";
        QTest::newRow("a release pass")
            << false << "release" << stopped << QStringList{"up 65"} << "";
    }
    void startWhileTheDesktopAsks() {
        QFETCH(bool, timed);
        QFETCH(QString, meanwhile);
        QFETCH(QString, reply);
        QFETCH(QStringList, keys);
        QFETCH(QString, refusal);
        Fixture f;
        prepare(f, timed, "idle");
        CommandAnswers answers(
            f.model(), [] { return 42; }, [] {});
        f.desktop().askFirst = true;
        QStringList replies;
        answers.answer(command::Verb::Start,
                       [&](const QByteArray& line) { replies << QString::fromUtf8(line); });
        QCOMPARE(replies, QStringList{});
        QCOMPARE(f.model().status().phase, Phase::Waiting);
        QVERIFY(f.model().status().askingPermission);
        answers.answer(command::Verb::Status,
                       [&](const QByteArray& line) { replies << QString::fromUtf8(line); });
        QCOMPARE(replies, QStringList{"3 waiting for the desktop's permission"});
        replies.clear();
        for (int i = 0; i < 6; ++i) {
            f.holdClock().tick();
        }
        f.desktop().ownWindowFocused = meanwhile.endsWith("ours");
        if (meanwhile.startsWith("yes") || meanwhile.startsWith("no")) {
            f.desktop().answerPermission(meanwhile.startsWith("no") ? "Not allowed." : "");
        } else {
            meanwhile == "stop" ? f.model().stopNow() : f.model().releaseKeys();
            QVERIFY(f.desktop().calls.contains("withdraw"));
            f.desktop().answerPermission();  // too late: nobody waits for it
        }
        QCOMPARE(replies, QStringList{reply});
        QCOMPARE(f.desktop().keyCalls(), keys);
        QCOMPARE(QString::fromStdString(f.model().status().lastRefusal), refusal);
    }

    // A window still on its way to the front (KWin's scripts): the keys and
    // the pointer wait for it, and the reply comes once they are down.
    void startWhileTheWindowComesForward() {
        Fixture f;
        f.addWindow(42, "Game");
        f.writeKeySet("65,1,\r\n");
        f.start();
        CommandAnswers answers(
            f.model(), [] { return 42; }, [] {});
        f.desktop().comingForward = true;
        QStringList replies;
        const auto take = [&](const QByteArray& line) { replies << QString::fromUtf8(line); };
        answers.answer(command::Verb::Start, take);
        answers.answer(command::Verb::Status, take);
        QCOMPARE(replies, QStringList{"3 waiting for the target window to take the keyboard"});
        QVERIFY(!f.desktop().calls.contains("pointer into 42"));
        f.desktop().comingForward = false;
        f.desktop().answerPermission();
        QCOMPARE(replies.last(), "0 holding forever: A, Left Mouse Button into \"Game\"");
        QCOMPARE(f.desktop().calls.filter(QRegularExpression("^(pointer|down|button)")),
                 (QStringList{"pointer into 42", "down 65", "button down 1"}));
    }

    // No window to aim at: where the desktop keeps the window in front out
    // of reach (KWin without our desktop entry), the reply says why, as
    // --status does, not "choose one".
    void startWithNoWindow_data() {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("reply");
        QTest::newRow("no note") << ""
                                 << "5 no window to hold into: choose one in Quindorel, "
                                    "or run the command while the window is in front";
        QTest::newRow("the desktop's note") << "install it"
                                            << "5 no window to hold into; install it";
    }
    void startWithNoWindow() {
        QFETCH(QString, note);
        QFETCH(QString, reply);
        Fixture f;
        f.writeKeySet("65,\r\n");
        f.start();
        CommandAnswers answers(
            f.model(), [] { return 0; }, [] {});
        answers.setDesktopNote(note);
        QStringList replies;
        answers.answer(command::Verb::Start,
                       [&](const QByteArray& line) { replies << QString::fromUtf8(line); });
        QCOMPARE(replies, QStringList{reply});
        QCOMPARE(f.desktop().keyCalls(), QStringList{});
    }

    void statusWhileWaiting() {
        Fixture f;
        prepare(f, false, "waiting");
        QCOMPARE(f.model().status().phase, Phase::Waiting);
        QCOMPARE(f.model().status().secondsLeft, 2);
        f.model().typeWaitTime("1");  // already passed: never presses
        QCOMPARE(f.model().status().phase, Phase::Idle);
    }

    // The last second of a timed hold still counts; keys that wait for the
    // keyboard to leave the window are not held yet, and a stop ends their wait.
    void statusAtTheEdges_data() {
        QTest::addColumn<bool>("keyboardStaysHere");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("secondsLeft");
        QTest::newRow("the last second of a hold") << false << false << int(Phase::Holding) << 1;
        QTest::newRow("keys waiting for the keyboard")
            << true << false << int(Phase::Waiting) << -1;
        QTest::newRow("a stop while they wait") << true << true << int(Phase::Idle) << -1;
    }
    void statusAtTheEdges() {
        QFETCH(bool, keyboardStaysHere);
        QFETCH(bool, stop);
        QFETCH(int, phase);
        QFETCH(int, secondsLeft);
        Fixture f;
        prepare(f, true, "idle");
        f.desktop().ownWindowFocused = keyboardStaysHere;
        f.desktop().refuseActivation = keyboardStaysHere;
        QCOMPARE(f.model().startNow([] { return 0; }), Result::Done);
        for (int i = 0; i < 4; ++i) {
            f.holdClock().tick();
        }
        if (stop) {
            f.model().stopNow();
        }
        QCOMPARE(int(f.model().status().phase), phase);
        QCOMPARE(f.model().status().secondsLeft, secondsLeft);
    }

    void whereAStartAims_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("inFront");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("raised");  // empty: no call at all
        QTest::newRow("the chosen window") << "" << 7 << int(Result::Done) << "topmost 42";
        QTest::newRow("chosen one closed: the one in front")
            << "closed" << 7 << int(Result::Done) << "topmost 7";
        QTest::newRow("none chosen: the one in front")
            << "none chosen" << 7 << int(Result::Done) << "topmost 7";
        QTest::newRow("never our own window")
            << "closed" << int(Fixture::kOwnWindow) << int(Result::NoTarget) << "";
        QTest::newRow("nothing in front") << "closed" << 0 << int(Result::NoTarget) << "";
        QTest::newRow("no key marked") << "no keys" << 7 << int(Result::NoKeys) << "";
        QTest::newRow("X seconds without a length")
            << "no length" << 7 << int(Result::NoLength) << "";
    }
    void whereAStartAims() {
        QFETCH(QString, situation);
        QFETCH(int, inFront);
        QFETCH(int, result);
        QFETCH(QString, raised);
        Fixture f;
        prepare(f, situation == "no length", "idle");
        if (situation == "closed") {
            f.desktop().windows.clear();
        } else if (situation == "none chosen") {
            f.model().chooseTarget(-1);
        } else if (situation == "no keys") {
            f.model().toggleKey(41);
            f.desktop().calls.clear();
        } else if (situation == "no length") {
            f.chooseHoldRow(4);
        }
        QCOMPARE(int(f.model().startNow([inFront] { return inFront; })), result);
        QCOMPARE(f.desktop().calls.value(0), raised);
        QVERIFY(f.platform.messages.isEmpty());
    }
};

QTEST_MAIN(HoldCommandTest)
#include "HoldCommandTest.moc"
