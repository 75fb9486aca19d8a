#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "Fixture.h"
#include "hold/HoldEngine.h"
#include "hold/HoldState.h"
#include "hold/StopHotKey.h"
#include "keys/KeyMarks.h"
#include "targets/ApplicationList.h"

using namespace quindorel;
using namespace quindorel::testing;

class HoldScheduleTest : public QObject {
    Q_OBJECT

    // Target window 42 listed, "a" marked, waiting time `wait`.
    static void prepare(Fixture& f, const QString& wait, bool timed) {
        f.addWindow(42, "Game");
        f.start();
        f.window->keyMarks().toggle(41);
        f.controls().text1->setText(wait);
        if (timed) {
            f.controls().option2->click();
        }
        f.desktop().calls.clear();
    }
    static void selectHoldRow(Fixture& f, int row) {
        QTreeWidget* list = f.controls().listView2;
        list->setCurrentItem(list->topLevelItem(row));
        emit list->itemClicked(list->topLevelItem(row), 0);
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
        selectHoldRow(f, 2);  // "10 seconds"
        f.controls().pushButton4->click();
        QCOMPARE(f.controls().pushButton4->text(), QStringLiteral("Turn Off"));
        QCOMPARE(f.platform.store.value("BackupSwitch"), QStringLiteral("On"));
        ticks(f.timer1(), 4);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.timer1().tick();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        ticks(f.timer1(), 20);  // the wait clock goes on, without effect
        ticks(f.timer2(), 20);  // the hold clock counts only while the switch is off
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        QCOMPARE(f.window->state().holdTicks, 0);

        f.controls().pushButton4->click();
        QCOMPARE(f.controls().pushButton4->text(), QStringLiteral("Turn On"));
        QCOMPARE(f.platform.store.value("BackupSwitch"), QStringLiteral("Off"));
        ticks(f.timer2(), 9);
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        f.timer2().tick();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65", "up 65"}));
        ticks(f.timer2(), 30);  // counts on past the length
        QCOMPARE(f.desktop().keyCalls().size(), 2);

        selectHoldRow(f, 1);  // "5 seconds" restarts the count
        ticks(f.timer2(), 5);
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
        f.controls().text1->setText("3");
        f.controls().pushButton4->click();  // nothing listed yet: the first press does nothing
        ticks(f.timer1(), 3);
        f.controls().pushButton4->click();
        f.addWindow(42, "Game");
        f.window->refreshListClicked();
        f.window->keyMarks().toggle(41);
        if (timed) {
            f.controls().option2->click();
            selectHoldRow(f, 1);  // "5 seconds"
        } else {
            f.timer3().tick();
        }
        for (int round = 1; round <= 3; ++round) {
            f.controls().pushButton4->click();
            ticks(f.timer1(), 2);
            QCOMPARE(f.desktop().keyCalls().size(), 2 * round - 2);
            f.timer1().tick();
            QCOMPARE(f.desktop().keyCalls().last(), QStringLiteral("down 65"));
            f.controls().pushButton4->click();
            if (timed) {
                ticks(f.timer2(), 4);
                QCOMPARE(f.desktop().keyCalls().size(), 2 * round - 1);
                f.timer2().tick();
            } else {
                f.platform.pressHotKey(f.window->stopHotKey().hotKeyId());
            }
            QCOMPARE(f.desktop().keyCalls().size(), 2 * round);
            QCOMPARE(f.desktop().keyCalls().last(), QStringLiteral("up 65"));
        }
    }

    void waitingTimeChangedMidway() {
        Fixture f;
        prepare(f, "3", false);
        f.controls().pushButton4->click();
        ticks(f.timer1(), 2);
        f.controls().text1->setText("2");  // already passed
        ticks(f.timer1(), 5);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.controls().text1->setText("9");
        ticks(f.timer1(), 2);
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
        f.controls().pushButton4->click();
        ticks(f.timer1(), 4);
        QVERIFY(f.desktop().keyCalls().isEmpty());
        QCOMPARE(f.window->state().waitTicks, 4);
        QCOMPARE(f.platform.messages.size(), reports);
    }

    void holdNowRunsOneWaitTick() {
        Fixture f;
        prepare(f, "2", false);
        f.controls().pushButton2->click();  // switch off: nothing
        QCOMPARE(f.window->state().waitTicks, 0);
        f.controls().pushButton4->click();
        f.controls().pushButton2->click();
        QVERIFY(f.desktop().keyCalls().isEmpty());
        f.controls().pushButton2->click();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));

        Fixture empty;  // no application listed: not even a tick
        empty.start();
        empty.controls().pushButton4->click();
        empty.controls().pushButton2->click();
        QCOMPARE(empty.window->state().waitTicks, 0);
    }

    void switchOnAsksForCustomSeconds() {
        Fixture f;
        prepare(f, "5", true);
        selectHoldRow(f, 4);  // "X seconds": no prompt on the click itself
        QVERIFY(f.platform.prompts.isEmpty());
        f.platform.answers = {std::nullopt};  // dismissed, no length yet: stays off
        f.controls().pushButton4->click();
        QCOMPARE(f.controls().pushButton4->text(), QStringLiteral("Turn On"));
        QCOMPARE(f.timer1().interval(), 0);
        QVERIFY(!f.platform.store.contains("BackupSwitch"));

        f.platform.answers = {QStringLiteral("0"), QStringLiteral("7.5")};
        f.controls().pushButton4->click();
        QCOMPARE(f.platform.prompts.size(), 3);
        QCOMPARE(f.platform.prompts.first(),
                 QStringLiteral("Input Number Of Second(s)|Enter number of second(s):|"));
        QCOMPARE(f.platform.messageTexts(), QStringList({"Please enter a value more than 0."}));
        QCOMPARE(f.window->state().customHoldSeconds, 8);
        QCOMPARE(f.timer1().interval(), 1000);

        f.controls().pushButton4->click();
        f.platform.answers = {std::nullopt};  // dismissed: the length entered before stays
        f.controls().pushButton4->click();
        QCOMPARE(f.window->state().customHoldSeconds, 8);
        QCOMPARE(f.controls().pushButton4->text(), QStringLiteral("Turn Off"));
    }

    void stopHotKeyReleasesEveryTimeItIsPressed() {
        Fixture f;
        prepare(f, "1", false);
        QCOMPARE(f.timer3().interval(), 10);
        f.platform.pressHotKey(0xC000);  // not set up yet: nothing
        QVERIFY(f.desktop().calls.isEmpty());
        f.timer3().tick();
        const std::int32_t id = f.window->stopHotKey().hotKeyId();
        QCOMPARE(f.desktop().calls.last(), QStringLiteral("hotkey %1 %2 6 83")
                                               .arg(f.window->applications().mainWindowHandle())
                                               .arg(id));
        QCOMPARE(f.timer3().interval(), 0);  // an idle program is not woken every 10 ms

        f.controls().pushButton4->click();
        f.timer1().tick();
        f.platform.pressHotKey(id);
        f.platform.pressHotKey(id);
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65", "up 65", "up 65"}));

        // Timed mode chosen later: the hot key stays and still releases.
        f.controls().option2->click();
        f.platform.pressHotKey(id);
        QCOMPARE(f.desktop().keyCalls().size(), 4);
        // Forever mode again: no second registration.
        f.controls().option1->click();
        f.timer3().tick();
        QCOMPARE(f.desktop().calls.filter("hotkey").size(), 1);
        f.platform.pressHotKey(id + 1);  // another hot key: nothing
        QCOMPARE(f.desktop().keyCalls().size(), 4);
    }

    void hotKeyTakenByAnotherProgramIsReportedOnce() {
        Fixture f;
        f.desktop().hotKeyAvailable = false;
        prepare(f, "1", false);
        f.platform.messages.clear();
        f.timer3().tick();
        f.controls().option1->click();
        f.timer3().tick();
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(
            "in Velmorquist2021/08/31.Form1.Timer3_Timer at line 104"));
    }

    void optionsSaveBothAndSwitchTheListAndStopKeyClock() {
        Fixture f;
        prepare(f, "1", false);
        f.controls().option2->click();
        QCOMPARE(f.platform.store.value("Option1"), QStringLiteral("False"));
        QCOMPARE(f.platform.store.value("Option2"), QStringLiteral("True"));
        QVERIFY(f.controls().listView2->isEnabled());
        QCOMPARE(f.timer3().interval(), 0);
        QVERIFY(!f.timer3().enabled());
        f.controls().option1->click();
        QCOMPARE(f.platform.store.value("Option1"), QStringLiteral("True"));
        QVERIFY(!f.controls().listView2->isEnabled());
        QCOMPARE(f.timer3().interval(), 10);
    }
};

QTEST_MAIN(HoldScheduleTest)
#include "HoldScheduleTest.moc"
