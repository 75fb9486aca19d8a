#include <QRadioButton>
#include <QtTest>

#include "Fixture.h"
#include "hold/HoldEngine.h"
#include "keys/KeyMarks.h"
#include "keys/KeySetFile.h"
#include "targets/ApplicationList.h"

using namespace quindorel;
using namespace quindorel::testing;

class HoldPassTest : public QObject {
    Q_OBJECT

    // A started window with one target window listed and selected.
    static void startWithTarget(Fixture& f) {
        f.addWindow(42, "Game");
        f.start();
        f.desktop().calls.clear();
        f.platform.messages.clear();
    }

private slots:
    void pressSendsDownsAndReleaseSendsUpsInTheSameOrder() {
        Fixture f;
        startWithTarget(f);
        for (int index : {100, 41, 68}) {  // Up, a, left shift: saved in index order
            f.window->model().keyMarks.toggle(index);
        }
        f.window->model().engine.holdKeys(true);
        QCOMPARE(f.desktop().calls, QStringList({"topmost 42", "show 42", "down 65", "down 160",
                                                 "down 38", "release 42"}));
        f.desktop().calls.clear();
        f.window->model().engine.holdKeys(false);
        QCOMPARE(f.desktop().keyCalls(), QStringList({"up 65", "up 160", "up 38"}));
        QVERIFY(f.platform.messages.isEmpty());
    }

    void keySetLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<int>>("reportedLines");
        QTest::newRow("three keys")
            << QByteArray("65,160,38,\r\n") << QStringList{"down 65", "down 160", "down 38"}
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
        startWithTarget(f);
        f.writeKeySet(line);
        f.window->model().keySetFile.readKeySets(true);
        f.window->model().engine.holdKeys(true);
        QCOMPARE(f.desktop().keyCalls(), keys);
        QCOMPARE(f.reportedLines(), reportedLines);
        QVERIFY(f.desktop().calls.contains("release 42"));

        // The release pass lets go of the same keys and reports the same elements again.
        f.desktop().calls.clear();
        f.platform.messages.clear();
        f.window->model().engine.holdKeys(false);
        QCOMPARE(f.desktop().keyCalls(), keys.replaceInStrings("down", "up"));
        QCOMPARE(f.reportedLines(), reportedLines);
    }

    void refusedKeysAreReportedAtTheSendStatement() {
        Fixture f;
        startWithTarget(f);
        f.window->model().keyMarks.toggle(41);
        f.desktop().refuseKeys = true;
        f.window->model().engine.holdKeys(true);
        QCOMPARE(f.reportedLines(), QList<int>{110});
        QVERIFY(
            f.platform.messages.first().text.startsWith("Permission denied: the system refused"));
        QCOMPARE(f.desktop().calls.last(), QString("release 42"));
    }

    void emptyKeySetStillRaisesMovesAndRebuilds() {
        Fixture f;
        startWithTarget(f);
        const int walks = f.desktop().walkCount;
        f.window->model().engine.holdKeys(true);
        QCOMPARE(f.desktop().calls, QStringList({"topmost 42", "show 42", "release 42"}));
        QCOMPARE(f.desktop().walkCount, walks + 1);
    }

    void emptyListSendsNothingButArmsTheHoldClockInTimedMode() {
        Fixture f;
        f.start();
        f.chooseMode(HoldChoices::Mode::Timed);
        f.window->model().keyMarks.toggle(41);
        const int walks = f.desktop().walkCount;
        f.holdClock().setInterval(0);
        f.window->model().engine.holdKeys(true);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        QCOMPARE(f.desktop().walkCount, walks);
        QCOMPARE(f.holdClock().interval(), 1000);
        QVERIFY(f.holdClock().enabled());
    }

    void foreverModeDisarmsTheHoldClock() {
        Fixture f;
        startWithTarget(f);
        QCOMPARE(f.model().choices.mode(), HoldChoices::Mode::UntilStopKey);
        f.holdClock().setInterval(1000);
        f.window->model().engine.holdKeys(true);
        QCOMPARE(f.holdClock().interval(), 0);
        QVERIFY(!f.holdClock().enabled());
    }

    void noSelectedRowReportsEachStepAndStillSends() {
        Fixture f;
        startWithTarget(f);
        f.window->model().keyMarks.toggle(41);
        f.model().targets.select(-1);
        const int walks = f.desktop().walkCount;
        f.window->model().engine.holdKeys(true);
        QCOMPARE(f.reportedLines(), QList<int>({104, 106, 108, 112}));
        QCOMPARE(f.desktop().calls, QStringList({"down 65"}));
        QCOMPARE(f.desktop().walkCount, walks + 1);
    }

    void neverAimsAtItsOwnWindow() {
        Fixture f;
        startWithTarget(f);
        f.window->model().keyMarks.toggle(41);
        f.window->model().applications.setMainWindowHandle(42);
        f.window->model().engine.holdKeys(true);
        QVERIFY(f.desktop().calls.isEmpty());
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
        f.window->model().keyMarks.toggle(41);  // a
        f.window->model().keyMarks.toggle(53);  // z
        f.window->model().engine.holdKeys(true);
        for (int index : toggledDuringHold) {
            f.window->model().keyMarks.toggle(index);
        }
        f.desktop().calls.clear();
        f.window->model().engine.holdKeys(false);
        QCOMPARE(f.desktop().keyCalls(), ups);
        f.desktop().calls.clear();
        f.window->close();  // nothing is left to let go of
        QVERIFY(f.desktop().calls.isEmpty());
    }

    void closingReleasesWhatAPressPutDownOnly() {
        Fixture f;
        startWithTarget(f);
        f.window->model().keyMarks.toggle(41);
        f.window->model().keyMarks.toggle(63);
        f.window->model().engine.holdKeys(true);
        f.window->model().engine.holdKeys(true);
        f.window->model().keyMarks.unmarkAll();
        f.addWindow(7, "Other");
        f.model().refreshListClicked();  // another window is selected now
        f.desktop().calls.clear();
        f.window->close();
        // Each key once, into the window that got the key-downs; no list rebuild.
        QCOMPARE(f.desktop().calls,
                 QStringList({"topmost 42", "show 42", "up 65", "up 161", "release 42"}));

        Fixture released;
        startWithTarget(released);
        released.window->model().keyMarks.toggle(41);
        released.window->model().engine.holdKeys(true);
        released.window->model().engine.holdKeys(false);
        released.desktop().calls.clear();
        released.window->close();
        QVERIFY(released.desktop().calls.isEmpty());
    }
};

QTEST_MAIN(HoldPassTest)
#include "HoldPassTest.moc"
