#include <QtTest>

#include "Fixture.h"

using namespace quindorel;
using namespace quindorel::testing;

class HoldScheduleTest : public QObject {
    Q_OBJECT

    // Target window 42 listed, "a" marked, waiting time `wait`.
    static void prepare(Fixture& f, const QString& wait, bool timed) {
        f.addWindow(42, "Game");
        f.start();
        f.model().toggleKey(41);
        f.model().typeWaitTime(wait);
        if (timed) {
            f.chooseMode(UserChoices::Mode::Timed);
        }
        f.desktop().calls.clear();
    }
    static void ticks(FakeClock& clock, int count) {
        for (int i = 0; i < count; ++i) {
            clock.tick();
        }
    }

private slots:
    void timedHoldFromSwitchToRelease() {
        Fixture f;
        prepare(f, "5", true);
        f.chooseHoldRow(2);  // "10 seconds"
        f.turnSwitch();
        QVERIFY(f.switchOn());
        QCOMPARE(f.platform.store.value("BackupSwitch"), QStringLiteral("On"));
        ticks(f.waitClock(), 4);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.waitClock().tick();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        ticks(f.waitClock(), 20);  // the wait clock goes on, without effect
        ticks(f.holdClock(), 20);  // the hold clock counts only while the switch is off
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        QCOMPARE(f.model().counts().holdTicks, 0);

        f.turnSwitch();
        QVERIFY(!f.switchOn());
        QCOMPARE(f.platform.store.value("BackupSwitch"), QStringLiteral("Off"));
        ticks(f.holdClock(), 9);
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        f.holdClock().tick();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65", "up 65"}));
        ticks(f.holdClock(), 30);  // counts on past the length
        QCOMPARE(f.desktop().keyCalls().size(), 2);

        f.chooseHoldRow(1);  // "5 seconds" restarts the count
        ticks(f.holdClock(), 5);
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65", "up 65", "up 65"}));
    }

    void everyHoldPressesAndEnds_data() {
        QTest::addColumn<bool>("timed");
        QTest::newRow("timed") << true;
        QTest::newRow("until the stop key") << false;
    }
    void everyHoldPressesAndEnds() {
        QFETCH(bool, timed);
        Fixture f;
        f.start();
        f.model().typeWaitTime("3");
        f.turnSwitch();  // nothing listed yet: the first press does nothing
        ticks(f.waitClock(), 3);
        f.turnSwitch();
        f.addWindow(42, "Game");
        f.model().refreshList();
        f.model().toggleKey(41);
        if (timed) {
            f.chooseMode(UserChoices::Mode::Timed);
            f.chooseHoldRow(1);  // "5 seconds"
        } else {
            f.stopKeyClock().tick();
        }
        for (int round = 1; round <= 3; ++round) {
            f.turnSwitch();
            ticks(f.waitClock(), 2);
            QCOMPARE(f.desktop().keyCalls().size(), 2 * round - 2);
            f.waitClock().tick();
            QCOMPARE(f.desktop().keyCalls().last(), QStringLiteral("down 65"));
            f.turnSwitch();
            if (timed) {
                ticks(f.holdClock(), 4);
                QCOMPARE(f.desktop().keyCalls().size(), 2 * round - 1);
                f.holdClock().tick();
            } else {
                f.platform.pressStopKey();
            }
            QCOMPARE(f.desktop().keyCalls().size(), 2 * round);
            QCOMPARE(f.desktop().keyCalls().last(), QStringLiteral("up 65"));
        }
    }

    void waitingTimeChangedMidway() {
        Fixture f;
        prepare(f, "3", false);
        f.turnSwitch();
        ticks(f.waitClock(), 2);
        f.model().typeWaitTime("2");  // already passed
        ticks(f.waitClock(), 5);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.model().typeWaitTime("9");
        ticks(f.waitClock(), 2);
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
    }

    void waitingTimesThatNeverPress_data() {
        QTest::addColumn<QString>("wait");
        QTest::addColumn<int>("reports");
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-3" << 0;
        QTest::newRow("beyond 32 bits is reported on every tick") << "3000000000" << 4;
    }
    void waitingTimesThatNeverPress() {
        QFETCH(QString, wait);
        QFETCH(int, reports);
        Fixture f;
        prepare(f, wait, false);
        f.platform.messages.clear();
        f.turnSwitch();
        ticks(f.waitClock(), 4);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        QCOMPARE(f.model().counts().waitTicks, 4);
        QCOMPARE(f.platform.messages.size(), reports);
    }

    void holdNowRunsOneWaitTick() {
        Fixture f;
        prepare(f, "2", false);
        f.model().holdNow();  // switch off: nothing
        QCOMPARE(f.model().counts().waitTicks, 0);
        f.turnSwitch();
        f.model().holdNow();
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.model().holdNow();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        // The hourglass shows around every click and never stays.
        QCOMPARE(f.busyChanges, QList<bool>({true, false, true, false, true, false}));

        Fixture empty;  // no application listed: not even a tick
        empty.start();
        empty.turnSwitch();
        empty.model().holdNow();
        QCOMPARE(empty.model().counts().waitTicks, 0);
        QVERIFY(empty.busyChanges.isEmpty());
    }

    void switchOnAsksForCustomSeconds() {
        Fixture f;
        prepare(f, "5", true);
        f.chooseHoldRow(4);  // "X seconds": no prompt on the click itself
        QVERIFY(f.platform.prompts.isEmpty());
        f.platform.answers = {std::nullopt};  // dismissed, no length yet: stays off
        f.turnSwitch();
        QVERIFY(!f.switchOn());
        QCOMPARE(f.waitClock().interval(), 0);
        QVERIFY(!f.platform.store.contains("BackupSwitch"));

        f.platform.answers = {QStringLiteral("0"), QStringLiteral("7.5")};
        f.turnSwitch();
        QCOMPARE(f.platform.prompts.size(), 3);
        QCOMPARE(f.platform.prompts.first(),
                 QStringLiteral("Input Number Of Second(s)|Enter number of second(s):|"));
        QCOMPARE(f.platform.messageTexts(), QStringList({"Please enter a value more than 0."}));
        QCOMPARE(f.model().counts().customHoldSeconds, 8);
        QCOMPARE(f.waitClock().interval(), 1000);

        f.turnSwitch();
        f.platform.answers = {std::nullopt};  // dismissed: the length entered before stays
        f.turnSwitch();
        QCOMPARE(f.model().counts().customHoldSeconds, 8);
        QVERIFY(f.switchOn());
    }

    void stopHotKeyReleasesEveryTimeItIsPressed() {
        Fixture f;
        prepare(f, "1", false);
        QCOMPARE(f.stopKeyClock().interval(), 10);
        f.platform.pressStopKey();  // not set up yet: nothing
        QVERIFY(f.desktop().calls.isEmpty());
        f.stopKeyClock().tick();
        QCOMPARE(f.desktop().calls.last(), QStringLiteral("stopkey %1").arg(Fixture::kOwnWindow));
        QCOMPARE(f.stopKeyClock().interval(), 0);  // an idle program is not woken every 10 ms

        f.turnSwitch();
        f.waitClock().tick();
        f.platform.pressStopKey();
        f.platform.pressStopKey();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65", "up 65", "up 65"}));

        // Timed mode chosen later: the hot key stays and still releases.
        f.chooseMode(UserChoices::Mode::Timed);
        f.platform.pressStopKey();
        QCOMPARE(f.desktop().keyCalls().size(), 4);
        // Forever mode again: no second set-up.
        f.chooseMode(UserChoices::Mode::UntilStopKey);
        f.stopKeyClock().tick();
        QCOMPARE(f.desktop().calls.filter("stopkey").size(), 1);
        QCOMPARE(f.stopKeyClock().interval(), 0);
    }

    // The user's own start/stop key, saved as "F8": set up as the program
    // starts; a press does what --toggle does, from each state; a key the
    // hold put down itself is not a press; a saved name that is no key sets
    // up nothing, and a desktop's own key for the action still acts.
    void userStartStopKey_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("switchOn");
        QTest::newRow("idle: starts") << "F8"
                                      << "idle" << QStringList{"down 65"} << false;
        QTest::newRow("waiting: the wait ends") << "F8"
                                                << "waiting" << QStringList{} << false;
        QTest::newRow("holding: stops") << "F8"
                                        << "holding" << QStringList{"up 65"} << false;
        QTest::newRow("holding it itself") << "F8"
                                           << "holding F8" << QStringList{} << true;
        // The key a desktop keeps for the action (KDE's System Settings).
        QTest::newRow("no key saved, the desktop's") << ""
                                                     << "idle" << QStringList{"down 65"} << false;
        QTest::newRow("not a key, the desktop's") << "Ctrl+Shift"
                                                  << "waiting" << QStringList{} << false;
    }
    void userStartStopKey() {
        QFETCH(QString, saved);
        QFETCH(QString, state);
        QFETCH(QStringList, keys);
        QFETCH(bool, switchOn);
        Fixture f;
        f.platform.store.set("ToggleKey", saved);
        prepare(f, "1", false);
        if (state == "holding F8") {
            f.model().toggleKey(8);  // F8 marked too
        }
        QCOMPARE(f.model().toggleKey().working(), saved == "F8");
        if (state != "idle") {
            f.turnSwitch();
            if (state.startsWith("holding")) {
                f.waitClock().tick();
            }
        }
        f.desktop().calls.clear();
        f.platform.pressKey(KeyAction::ToggleHold);
        QCOMPARE(f.desktop().keyCalls(), keys);
        QCOMPARE(f.switchOn(), switchOn);
    }

    // Choosing a key: one another program has changes nothing; none lets
    // go; each choice is saved by name.
    void choosingTheStartStopKey() {
        Fixture f;
        f.platform.store.set("ToggleKey", "F8");
        prepare(f, "1", false);
        const HotKey ctrlF9{0x78, HotKey::kCtrl};
        f.desktop().takenKeys = {ctrlF9};
        QVERIFY(!f.model().toggleKey().choose(ctrlF9));
        QCOMPARE(f.platform.store.value("ToggleKey"), QStringLiteral("F8"));
        QCOMPARE(f.desktop().calls.filter("togglekey").last(),
                 QStringLiteral("togglekey 0+119 900"));
        QVERIFY(f.model().toggleKey().choose(HotKey{0x13, HotKey::kAlt | HotKey::kWin}));
        QCOMPARE(f.platform.store.value("ToggleKey"), QStringLiteral("Alt+Win+Pause"));
        // Let go while a dialog listens for keys: still the user's, working after.
        f.model().toggleKey().pause(true);
        QCOMPARE(f.desktop().calls.filter("togglekey").last(), QStringLiteral("togglekey none"));
        QVERIFY(f.model().toggleKey().working());
        QVERIFY(!f.model().toggleKey().choose(ctrlF9));  // the dialog still listens
        QCOMPARE(f.desktop().calls.filter("togglekey").last(),
                 QStringLiteral("togglekey 1+120 900"));
        QVERIFY(f.model().toggleKey().choose(HotKey{0x77, 0}));
        QVERIFY(f.model().toggleKey().working() && !f.model().toggleKey().paused());
        QVERIFY(f.model().toggleKey().choose(std::nullopt));
        QCOMPARE(f.platform.store.value("ToggleKey"), QString());
        QCOMPARE(f.desktop().calls.filter("togglekey").last(), QStringLiteral("togglekey none"));
    }

    // Taken as the set-up asks, or found taken when a desktop answers later.
    void hotKeyTakenByAnotherProgramIsReportedOnce_data() {
        QTest::addColumn<bool>("later");
        QTest::newRow("at the set-up") << false;
        QTest::newRow("answered later") << true;
    }
    void hotKeyTakenByAnotherProgramIsReportedOnce() {
        QFETCH(bool, later);
        Fixture f;
        f.desktop().hotKeyAvailable = later;
        prepare(f, "1", false);
        f.platform.messages.clear();
        f.stopKeyClock().tick();
        if (later) {
            QCOMPARE(f.platform.messages.size(), 0);
            f.platform.stopKeyTakenLater();
        }
        f.chooseMode(UserChoices::Mode::UntilStopKey);
        f.stopKeyClock().tick();
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(
            "in Velmorquist2021/08/31.Form1.Timer3_Timer at line 104"));
    }

    void optionsSaveBothAndSwitchTheListAndStopKeyClock() {
        Fixture f;
        prepare(f, "1", false);
        f.chooseMode(UserChoices::Mode::Timed);
        QCOMPARE(f.platform.store.value("Option1"), QStringLiteral("False"));
        QCOMPARE(f.platform.store.value("Option2"), QStringLiteral("True"));
        QVERIFY(f.model().choices().holdListEnabled());
        QCOMPARE(f.stopKeyClock().interval(), 0);
        QVERIFY(!f.stopKeyClock().enabled());
        f.chooseMode(UserChoices::Mode::UntilStopKey);
        QCOMPARE(f.platform.store.value("Option1"), QStringLiteral("True"));
        QVERIFY(!f.model().choices().holdListEnabled());
        QCOMPARE(f.stopKeyClock().interval(), 10);
        QVERIFY(f.stopKeyClock().enabled());  // or Ctrl+Shift+S would never be set up
    }
};

QTEST_MAIN(HoldScheduleTest)
#include "HoldScheduleTest.moc"
