#include <QtTest>

#include "Fixture.h"
#include "hold/HoldEngine.h"
#include "keys/KeySetFile.h"
#include "keys/MarkActions.h"
#include "targets/TargetFinder.h"

using namespace quindorel;
using namespace quindorel::testing;

class HoldPassTest : public QObject {
    Q_OBJECT

    // A started model with one target window listed and selected.
    static void startWithTarget(Fixture& f, const QByteArray& keySet = "\r\n") {
        f.addWindow(42, "Game");
        f.writeKeySet(keySet);
        f.start();
        f.desktop().calls.clear();
        f.platform.messages.clear();
    }

private slots:
    void pressSendsDownsAndReleaseSendsUpsInTheSameOrder() {
        Fixture f;
        startWithTarget(f);
        for (int index : {100, 41, 68}) {  // Up, a, left shift: saved in index order
            f.model().toggleKey(index);
        }
        f.model().pressKeys();
        // Shift goes down first and comes up last, as a hand would press them.
        QCOMPARE(f.desktop().calls, QStringList({"topmost 42", "show 42", "down 160", "down 65",
                                                 "down 38", "release 42"}));
        f.desktop().calls.clear();
        f.model().releaseKeys();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"up 65", "up 38", "up 160"}));
        QVERIFY(f.platform.messages.isEmpty());
    }

    // Buttons go down among the keys in the key set's order once the pointer
    // is over the target (asked for only by a press with a button), and come
    // up with the next release, marked or not.
    void mouseButtonsGoWithTheKeys_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("reaches");
        QTest::addColumn<bool>("unmark");
        QTest::addColumn<QString>("downs");
        QTest::addColumn<QString>("ups");
        QTest::newRow("W, Shift, left, right")
            << QByteArray("87,1,160,2,") << true << false
            << "pointer into 42,down 160,down 87,button down 1,button down 2"
            << "up 87,button up 1,button up 2,up 160";
        QTest::newRow("the pointer does not get there")
            << QByteArray("1,87,") << false << false << "pointer into 42,down 87"
            << "button up 1,up 87";
        QTest::newRow("right unmarked during the hold")
            << QByteArray("2,65,") << true << true << "pointer into 42,button down 2,down 65"
            << "up 65,button up 2";
    }
    void mouseButtonsGoWithTheKeys() {
        QFETCH(QByteArray, line);
        QFETCH(bool, reaches);
        QFETCH(bool, unmark);
        QFETCH(QString, downs);
        QFETCH(QString, ups);
        const auto pass = [](const QString& events) {
            return ("topmost 42,show 42," + events + ",release 42").split(',');
        };
        Fixture f;
        startWithTarget(f, line + "\r\n");
        f.desktop().pointerReaches = reaches;
        f.model().pressKeys();
        QCOMPARE(f.desktop().calls, pass(downs));
        QCOMPARE(f.notice.isEmpty(), reaches || !downs.contains("pointer"));
        f.desktop().calls.clear();
        if (unmark) {
            f.model().toggleKey(106);  // the right button
        }
        f.model().releaseKeys();
        QCOMPARE(f.desktop().calls, pass(ups));
        QVERIFY(f.notice.isEmpty() && f.platform.messages.isEmpty());
    }

    void keySetLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<int>>("reportedLines");
        QTest::newRow("two keys") << QByteArray("65,38,\r\n") << QStringList{"down 65", "down 38"}
                                  << QList<int>{};
        QTest::newRow("nothing marked") << QByteArray("\r\n") << QStringList{} << QList<int>{};
        QTest::newRow("no final comma loses the last key")
            << QByteArray("27,112\r\n") << QStringList{"down 27"} << QList<int>{};
        QTest::newRow("both Enter keys")
            << QByteArray("13,13,\r\n") << QStringList{"down 13", "down 13"} << QList<int>{};
        QTest::newRow("blanks around a code")
            << QByteArray(" 65 ,\r\n") << QStringList{"down 65"} << QList<int>{};
        QTest::newRow("rounded to even")
            << QByteArray("64.5,\r\n") << QStringList{"down 64"} << QList<int>{};
        QTest::newRow("out of range is reported and skipped")
            << QByteArray("300,65,\r\n") << QStringList{"down 65"} << QList<int>{110};
        QTest::newRow("not a number is reported and skipped")
            << QByteArray("abc,-1,65,\r\n") << QStringList{"down 65"} << QList<int>{110, 110};
    }
    void keySetLines() {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, keys);
        QFETCH(QList<int>, reportedLines);
        Fixture f;
        startWithTarget(f, line);
        f.model().pressKeys();
        QCOMPARE(f.desktop().keyCalls(), keys);
        QCOMPARE(f.reportedLines(), reportedLines);
        QVERIFY(f.desktop().calls.contains("release 42"));

        // The release pass lets go of the same keys and reports the same elements again.
        f.desktop().calls.clear();
        f.platform.messages.clear();
        f.model().releaseKeys();
        QCOMPARE(f.desktop().keyCalls(), keys.replaceInStrings("down", "up"));
        QCOMPARE(f.reportedLines(), reportedLines);
    }

    void modifiersGoDownFirstAndComeUpLast_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("downs");
        QTest::addColumn<QString>("ups");
        QTest::newRow("every kind, both sides")
            << QByteArray("65,91,163,38,164,161,92,\r\n") << "91 163 164 161 92 65 38"
            << "65 38 91 163 164 161 92";
    }
    void modifiersGoDownFirstAndComeUpLast() {
        QFETCH(QByteArray, line);
        QFETCH(QString, downs);
        QFETCH(QString, ups);
        const auto keys = [](const QStringList& calls) {
            return calls.join(' ').remove(QRegularExpression("(down|up) "));
        };
        for (const bool atExit : {false, true}) {
            Fixture f;
            startWithTarget(f, line);
            f.model().pressKeys();
            QCOMPARE(keys(f.desktop().keyCalls()), downs);
            f.desktop().calls.clear();
            if (atExit) {
                f.close();
            } else {
                f.model().releaseKeys();
            }
            QCOMPARE(keys(f.desktop().keyCalls()), ups);
        }
    }

    // The layout changes during the hold (a layout switch, another keyboard
    // typing under Xwayland): every way a hold ends lets go of the key that
    // went down, not of the one the virtual key means now.
    void theKeyThatWentDownComesUp_data() {
        QTest::addColumn<QString>("end");
        QTest::newRow("release pass") << "release";
        QTest::newRow("unmarked, then a release pass") << "unmark";
        QTest::newRow("the program closes") << "close";
    }
    void theKeyThatWentDownComesUp() {
        QFETCH(QString, end);
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(34);  // y
        f.desktop().layout = {{89, 29}};
        f.model().pressKeys();
        f.desktop().layout = {{89, 52}};
        f.desktop().calls.clear();
        if (end == "close") {
            f.close();
        } else {
            if (end == "unmark") {
                f.model().toggleKey(34);
            }
            f.model().releaseKeys();
        }
        QCOMPARE(f.desktop().keyCalls(), QStringList{"up 29"});
    }

    // The desktop would not bring the target forward and the keyboard stayed
    // with the program: Space or Enter would press its own buttons.
    void keysWaitWhileTheProgramHasTheKeyboard_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("the user clicks the target") << "focus" << QStringList{"down 65"};
        QTest::newRow("the stop key first") << "release" << QStringList{"up 65"};
        QTest::newRow("the program closes first") << "close" << QStringList{};
        QTest::newRow("the switch turned off") << "switch off" << QStringList{};
        // The keyboard leaves while another press waits for the target: that
        // press's keys, once; the waiting ones never go down in between.
        QTest::newRow("another press first") << "press" << QStringList{"down 65"};
    }
    void keysWaitWhileTheProgramHasTheKeyboard() {
        QFETCH(QString, end);
        QFETCH(QStringList, keys);
        Fixture f;
        startWithTarget(f);
        f.chooseMode(UserChoices::Mode::Timed);
        f.model().toggleKey(41);
        f.desktop().ownWindowFocused = true;
        f.desktop().refuseActivation = true;
        f.model().pressKeys();
        FakeClock& focusClock = f.focusClock();
        QVERIFY(f.desktop().keyCalls().isEmpty());
        QVERIFY(f.notice.contains("\u201CGame\u201D"));
        QVERIFY(focusClock.tick());
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.holdClock().tick();
        QCOMPARE(f.model().counts().holdTicks, 1);

        if (end == "focus") {
            f.desktop().ownWindowFocused = false;
            QVERIFY(focusClock.tick());
            QCOMPARE(f.model().counts().holdTicks, 0);  // the length counts from the key-downs
        } else if (end == "release") {
            f.model().releaseKeys();
        } else if (end == "switch off") {
            f.turnSwitch();
            f.turnSwitch();  // off: keys not down yet are not wanted now
            f.desktop().ownWindowFocused = false;
            QVERIFY(!focusClock.tick());
        } else if (end == "press") {
            f.desktop().ownWindowFocused = false;
            f.desktop().whileShowing = [&] { focusClock.tick(); };
            f.model().pressKeys();
        } else {
            f.close();
        }
        QCOMPARE(f.desktop().keyCalls(), keys);
        QVERIFY(f.notice.isEmpty());
        QVERIFY(!focusClock.running());
        QVERIFY(f.platform.messages.isEmpty());

        // The next press that must wait is watched again; its keys come up
        // in the window they were meant for.
        f.desktop().ownWindowFocused = true;
        f.desktop().calls.clear();
        f.model().pressKeys();
        f.desktop().ownWindowFocused = false;
        QVERIFY(focusClock.tick());
        QCOMPARE(f.desktop().keyCalls(), QStringList{"down 65"});
        f.desktop().calls.clear();
        f.close();
        QCOMPARE(f.desktop().calls.value(0), QStringLiteral("topmost 42"));
    }

    void refusedKeysAreReportedAtTheSendStatement() {
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(41);
        f.desktop().refuseKeys = true;
        f.model().pressKeys();
        QCOMPARE(f.reportedLines(), QList<int>{110});
        QVERIFY(
            f.platform.messages.first().text.startsWith("Permission denied: the system refused"));
        QCOMPARE(f.desktop().calls.last(), QString("release 42"));
    }

    // The desktop's dialog said no: nothing is held, the switch is off and
    // the notice says why; no error report.
    void deniedKeysEndTheHoldWithANotice() {
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(41);
        f.model().turnSwitch();
        f.desktop().denyKeys = "Remote control was not allowed";
        f.model().pressKeys();
        QVERIFY(f.reportedLines().isEmpty());
        QCOMPARE(f.model().notices().text(), QStringLiteral("Remote control was not allowed"));
        QVERIFY(!f.model().choices().switchOn());
        QCOMPARE(f.model().status().phase, HoldEngine::Status::Phase::Idle);
    }

    void emptyKeySetStillRaisesMovesAndRebuilds() {
        Fixture f;
        startWithTarget(f);
        const int walks = f.desktop().walkCount;
        f.model().pressKeys();
        QCOMPARE(f.desktop().calls, QStringList({"topmost 42", "show 42", "release 42"}));
        QCOMPARE(f.desktop().walkCount, walks + 1);
    }

    void emptyListSendsNothingButArmsTheHoldClockInTimedMode() {
        Fixture f;
        f.start();
        f.chooseMode(UserChoices::Mode::Timed);
        f.model().toggleKey(41);
        const int walks = f.desktop().walkCount;
        f.holdClock().setInterval(0);
        f.model().pressKeys();
        QVERIFY(f.desktop().keyCalls().isEmpty());
        QCOMPARE(f.desktop().walkCount, walks);
        QCOMPARE(f.holdClock().interval(), 1000);
        QVERIFY(f.holdClock().enabled());
    }

    void foreverModeDisarmsTheHoldClock() {
        Fixture f;
        startWithTarget(f);
        QCOMPARE(f.model().choices().mode(), UserChoices::Mode::UntilStopKey);
        f.holdClock().setInterval(1000);
        f.model().pressKeys();
        QCOMPARE(f.holdClock().interval(), 0);
        QVERIFY(!f.holdClock().enabled());
    }

    void noSelectedRowReportsEachStepAndStillSends() {
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(41);
        f.model().chooseTarget(-1);
        const int walks = f.desktop().walkCount;
        f.model().pressKeys();
        QCOMPARE(f.reportedLines(), QList<int>({104, 106, 108, 112}));
        QCOMPARE(f.desktop().calls, QStringList({"down 65"}));
        QCOMPARE(f.desktop().walkCount, walks + 1);
        f.desktop().calls.clear();
        f.close();  // no window to raise for the key-ups either
        QCOMPARE(f.desktop().calls, QStringList({"up 65"}));
    }

    void releaseLetsGoOfKeysUnmarkedDuringTheHold_data() {
        QTest::addColumn<QList<int>>("toggledDuringHold");
        QTest::addColumn<QStringList>("ups");
        QTest::newRow("unchanged") << QList<int>{} << QStringList{"up 65", "up 90"};
        QTest::newRow("z unmarked, Up marked")
            << QList<int>{53, 100} << QStringList{"up 65", "up 38", "up 90"};
        QTest::newRow("all unmarked") << QList<int>{41, 53} << QStringList{"up 65", "up 90"};
    }
    void releaseLetsGoOfKeysUnmarkedDuringTheHold() {
        QFETCH(QList<int>, toggledDuringHold);
        QFETCH(QStringList, ups);
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(41);  // a
        f.model().toggleKey(53);  // z
        f.model().pressKeys();
        for (int index : toggledDuringHold) {
            f.model().toggleKey(index);
        }
        f.desktop().calls.clear();
        f.model().releaseKeys();
        QCOMPARE(f.desktop().keyCalls(), ups);
        f.desktop().calls.clear();
        f.close();  // nothing is left to let go of
        QVERIFY(f.desktop().calls.isEmpty());
    }

    // A pass waits for the target with the event loop running; what ends a
    // hold meanwhile comes after the key-downs, never before them.
    // A key an earlier pass put down must not come up in between either.
    void anEndDuringThePressesWaitComesAfterIt_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("heldBefore");
        for (const bool held : {false, true}) {
            const char* already = held ? ", a key held before" : "";
            QTest::addRow("the stop key%s", already) << "stop key" << held;
            QTest::addRow("a stop command%s", already) << "stop command" << held;
            QTest::addRow("the program closes%s", already) << "close" << held;
        }
    }
    void anEndDuringThePressesWaitComesAfterIt() {
        QFETCH(QString, end);
        QFETCH(bool, heldBefore);
        Fixture f;
        startWithTarget(f);
        f.chooseMode(UserChoices::Mode::UntilStopKey);
        f.stopKeyClock().tick();
        f.model().toggleKey(41);
        QStringList keys;
        if (heldBefore) {
            f.model().pressKeys();
            keys << "down 65";
        }
        f.desktop().whileShowing = [&] {
            if (end == "stop key") {
                f.platform.pressStopKey();
            } else if (end == "stop command") {
                f.model().stopNow();
            } else {
                f.close();
            }
        };
        f.model().pressKeys();
        keys.append({"down 65", "up 65"});
        QCOMPARE(f.desktop().keyCalls(), keys);
        QCOMPARE(f.model().status().phase, HoldEngine::Status::Phase::Idle);
    }

    // A wait clock tick that comes during a pass counts once, after it.
    void aWaitTickDuringAPassCountsOnce() {
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(41);
        f.model().typeWaitTime("3");
        f.turnSwitch();
        f.desktop().whileShowing = [&] { f.waitClock().tick(); };
        f.model().pressKeys();  // the first second passes during it
        f.waitClock().tick();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        f.waitClock().tick();  // the third second: the wait's own press
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65", "down 65"}));
    }

    void closingReleasesWhatAPressPutDownOnly() {
        Fixture f;
        startWithTarget(f);
        f.model().toggleKey(41);
        f.model().toggleKey(63);
        f.model().pressKeys();
        f.model().pressKeys();
        f.model().unmarkAllKeys();
        f.addWindow(7, "Other");
        f.model().refreshList();  // another window is selected now
        f.desktop().calls.clear();
        f.close();
        // Each key once, into the window that got the key-downs; no list rebuild.
        QCOMPARE(f.desktop().calls,
                 QStringList({"topmost 42", "show 42", "up 65", "up 161", "release 42"}));

        Fixture released;
        startWithTarget(released);
        released.model().toggleKey(41);
        released.model().pressKeys();
        released.model().releaseKeys();
        released.desktop().calls.clear();
        released.close();
        QVERIFY(released.desktop().calls.isEmpty());
    }
};

QTEST_MAIN(HoldPassTest)
#include "HoldPassTest.moc"
