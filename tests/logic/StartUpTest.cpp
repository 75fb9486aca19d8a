#include <QtTest>

#include "Fixture.h"
#include "hold/ClockCounts.h"
#include "hold/Durations.h"

using namespace quindorel;
using namespace quindorel::testing;

class StartUpTest : public QObject {
    Q_OBJECT

    static QString selectedHoldRow(Fixture& f) {
        return Durations::kRows.value(f.model().choices().holdRow());
    }

private slots:
    void firstRun() {
        Fixture f;
        f.start();
        QCOMPARE(f.model().choices().waitText(), QStringLiteral("1"));
        QCOMPARE(selectedHoldRow(f), QStringLiteral("5 seconds"));
        QVERIFY(f.platform.prompts.isEmpty());
        QVERIFY(!f.switchOn());
        QCOMPARE(f.waitClock().interval(), 0);
        QCOMPARE(f.holdClock().interval(), 0);
        QCOMPARE(f.model().choices().mode(), UserChoices::Mode::UntilStopKey);
        QVERIFY(!f.model().choices().holdListEnabled());
        QCOMPARE(f.stopKeyClock().interval(), 10);
        QVERIFY(f.stopKeyClock().enabled());
        QCOMPARE(f.platform.store.value("Text1"), QStringLiteral("1"));
        QCOMPARE(f.platform.store.value("Option1"), QStringLiteral("True"));
        QCOMPARE(f.platform.store.value("Option2"), QStringLiteral("False"));
        QVERIFY(!f.platform.store.contains("OftenIndex"));
        QVERIFY(!f.platform.store.contains("BackupSwitch"));
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.model().counts().customHoldSeconds, 0);
        QCOMPARE(f.model().choices().holdRowCount(), 5);
    }

    void rememberedHoldRow_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("custom");
        QTest::addColumn<QList<int>>("reportedLines");
        QTest::newRow("60 seconds") << "4" << QStringList{} << "60 seconds" << 0 << QList<int>{};
        QTest::newRow("1 second, the first row")
            << "1" << QStringList{} << "1 second" << 0 << QList<int>{};
        QTest::newRow("X seconds asks until a number")
            << "5" << QStringList{"", "abc", "12"} << "X seconds" << 12 << QList<int>{};
        QTest::newRow("X seconds dismissed")
            << "5" << QStringList{"<cancel>"} << "X seconds" << 0 << QList<int>{};
        QTest::newRow("2.5 stores 2")
            << "5" << QStringList{"2.5"} << "X seconds" << 2 << QList<int>{};
        QTest::newRow("3.5 stores 4")
            << "5" << QStringList{"3.5"} << "X seconds" << 4 << QList<int>{};
        QTest::newRow("40000 is reported at 170")
            << "5" << QStringList{"40000"} << "X seconds" << 0 << QList<int>{170};
        QTest::newRow("no such row") << "7" << QStringList{} << "1 second" << 0 << QList<int>{160};
        QTest::newRow("row zero") << "0" << QStringList{} << "1 second" << 0 << QList<int>{160};
        QTest::newRow("not a number")
            << "abc" << QStringList{} << "1 second" << 0 << QList<int>{158, 160};
        QTest::newRow("rounded") << "4.5" << QStringList{} << "60 seconds" << 0 << QList<int>{};
    }
    void rememberedHoldRow() {
        QFETCH(QString, stored);
        QFETCH(QStringList, answers);
        QFETCH(QString, selected);
        QFETCH(int, custom);
        QFETCH(QList<int>, reportedLines);
        Fixture f;
        f.platform.store.set("OftenIndex", stored);
        f.platform.answerWith(answers);
        f.start();
        QCOMPARE(f.platform.prompts.size(), answers.size());
        QCOMPARE(selectedHoldRow(f), selected);
        QCOMPARE(f.model().counts().customHoldSeconds, custom);
        QCOMPARE(f.reportedLines(), reportedLines);
        for (const auto& message : f.platform.messages) {
            QVERIFY(message.text.startsWith("Please enter a ") ||
                    message.text.contains("in Velmorquist2021/08/31.Form1.Form_Load at line"));
        }
    }

    void savedSwitch_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("interval");
        QTest::newRow("On") << "On"
                            << "Turn Off" << 1000;
        QTest::newRow("Off") << "Off"
                             << "Turn On" << 0;
        QTest::newRow("on in other case is neither") << "on"
                                                     << "Turn On" << 0;
        QTest::newRow("junk") << "1"
                              << "Turn On" << 0;
    }
    void savedSwitch() {
        QFETCH(QString, stored);
        QFETCH(QString, caption);
        QFETCH(int, interval);
        Fixture f;
        f.platform.store.set("BackupSwitch", stored);
        f.start();
        QCOMPARE(f.switchOn(), caption == "Turn Off");
        QCOMPARE(f.waitClock().interval(), interval);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void savedOptions_data() {
        QTest::addColumn<QString>("option1");
        QTest::addColumn<QString>("option2");
        QTest::addColumn<bool>("timed");
        QTest::addColumn<int>("reports");
        QTest::newRow("timed") << "False"
                               << "True" << true << 0;
        QTest::newRow("numbers") << "0"
                                 << "-1" << true << 0;
        QTest::newRow("forever") << "true"
                                 << "false" << false << 0;
        QTest::newRow("junk in Option1 is reported") << "maybe"
                                                     << "True" << true << 1;
    }
    void savedOptions() {
        QFETCH(QString, option1);
        QFETCH(QString, option2);
        QFETCH(bool, timed);
        QFETCH(int, reports);
        Fixture f;
        f.platform.store.set("Option1", option1);
        f.platform.store.set("Option2", option2);
        f.start();
        QCOMPARE(f.model().choices().mode() == UserChoices::Mode::Timed, timed);
        QCOMPARE(f.model().choices().holdListEnabled(), timed);
        QCOMPARE(f.stopKeyClock().interval(), timed ? 0 : 10);
        QCOMPARE(f.platform.store.value("Option2"),
                 timed ? QStringLiteral("True") : QStringLiteral("False"));
        QCOMPARE(f.platform.messages.size(), reports);
    }

    void savedSwitchPressesWithoutAClick() {
        Fixture f;
        f.addWindow(42, "Game");
        f.platform.store.set("BackupSwitch", "On");
        f.platform.store.set("Text1", "3");
        f.writeKeySet("65,\r\n");
        f.start();
        for (int i = 0; i < 3; ++i) {
            f.waitClock().tick();
        }
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        QVERIFY(f.desktop().calls.contains("topmost 42"));
    }

    void restoredCustomLengthIsAskedOverTheShownWindow_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("interval");
        QTest::newRow("answered") << "4"
                                  << "Turn Off" << 1000;
        QTest::newRow("dismissed: no hold without a length") << "<cancel>"
                                                             << "Turn On" << 0;
    }
    void restoredCustomLengthIsAskedOverTheShownWindow() {
        QFETCH(QString, answer);
        QFETCH(QString, caption);
        QFETCH(int, interval);
        Fixture f;
        f.platform.store.set("BackupSwitch", "On");
        f.platform.store.set("OftenIndex", "5");
        f.platform.store.set("Option2", "True");
        f.make();
        f.load();
        QVERIFY(f.platform.prompts.isEmpty());
        QCOMPARE(f.waitClock().interval(), 0);  // nothing counts before the answer
        f.platform.answerWith({answer});
        f.loadShown();
        QCOMPARE(f.platform.prompts.size(), 1);
        QCOMPARE(f.switchOn(), caption == "Turn Off");
        QCOMPARE(f.waitClock().interval(), interval);
        QCOMPARE(f.platform.store.value("BackupSwitch"), interval ? "On" : "Off");
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
