#include <QtTest>

#include "common/ErrorTrap.h"
#include "hold/ClockCounts.h"
#include "hold/Durations.h"
#include "hold/UserChoices.h"
#include "platform/fake/FakePlatform.h"

using namespace quindorel;

namespace {

// The durations with the choices and counts they read, and every row of
// "Hold for..." listed.
struct Parts {
    FakePlatform platform;
    ClockCounter counter;
    const ClockCounts& counts = counter.view();
    UserChoices choices;
    Durations durations{platform, counter, choices};
    Parts() {
        platform.applicationTitle = QStringLiteral("Tessavrin");  // boxes without a title get it
        choices.setHoldRowCount(static_cast<int>(Durations::kRows.size()));
    }
};

}  // namespace

class DurationsTest : public QObject {
    Q_OBJECT
private slots:
    void rowsGiveTheirSeconds_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("custom");
        QTest::addColumn<int>("seconds");
        QTest::newRow("1 second") << 0 << 0 << 1;
        QTest::newRow("5 seconds") << 1 << 0 << 5;
        QTest::newRow("10 seconds is not 1 second") << 2 << 0 << 10;
        QTest::newRow("60 seconds") << 3 << 0 << 60;
        QTest::newRow("X seconds before any number") << 4 << 0 << 0;
        QTest::newRow("X seconds") << 4 << 12 << 12;
    }
    void rowsGiveTheirSeconds() {
        QFETCH(int, row);
        QFETCH(int, custom);
        QFETCH(int, seconds);
        Parts p;
        p.counter.setCustomHoldSeconds(custom);
        p.choices.setHoldRow(row);
        QCOMPARE(p.durations.selectedHoldSeconds(), seconds);
    }

    void listClickSavesIndexAndRestartsTheCount() {
        Parts p;
        p.counter.tickHold();
        p.choices.setHoldRow(3);
        p.durations.holdListClicked();
        QCOMPARE(p.platform.store.value("OftenIndex"), QStringLiteral("4"));
        QCOMPARE(p.counts.holdSeconds, 60);
        QCOMPARE(p.counts.holdTicks, 0);
    }

    void customSecondsPrompt_data() {
        QTest::addColumn<QStringList>("answers");  // "<cancel>" stands for Cancel
        QTest::addColumn<int>("stored");
        QTest::addColumn<QStringList>("boxes");  // the first line of each box shown
        const QString number = QStringLiteral("Please enter a numeric value.");
        const QString positive = QStringLiteral("Please enter a value more than 0.");
        QTest::newRow("12") << QStringList{"12"} << 12 << QStringList{};
        QTest::newRow("7.5 rounds to 8") << QStringList{"7.5"} << 8 << QStringList{};
        QTest::newRow("6.5 rounds to 6") << QStringList{"6.5"} << 6 << QStringList{};
        QTest::newRow("asked again until a number")
            << QStringList{"", "abc", " ", "3"} << 3 << QStringList{number, number, number};
        QTest::newRow("asked again until more than 0")
            << QStringList{"0", "-4", "0.4", "0.5", "1"} << 1
            << QStringList{positive, positive, positive, positive};
        QTest::newRow("dismissed: the length in force stays")
            << QStringList{"abc", "<cancel>"} << 99 << QStringList{number};
        QTest::newRow("40000 is rejected, value kept")
            << QStringList{"40000"} << 99 << QStringList{"Overflow"};
    }
    void customSecondsPrompt() {
        QFETCH(QStringList, answers);
        QFETCH(int, stored);
        QFETCH(QStringList, boxes);
        Parts p;
        p.counter.setCustomHoldSeconds(99);
        p.platform.answerWith(answers);
        ErrorTrap trap(p.platform, QStringLiteral("Form1.PushButton4_Click"));
        QVERIFY(p.durations.askCustomSeconds(trap, 106, 106, 106));
        QCOMPARE(p.platform.prompts.size(), answers.size());
        QCOMPARE(p.counts.customHoldSeconds, stored);
        QStringList shown;
        for (const QString& text : p.platform.messageTexts()) {
            shown << text.section(QLatin1Char('\r'), 0, 0);
        }
        QCOMPARE(shown, boxes);
    }

    void waitingTimeWarnings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning");
        QTest::newRow("letters") << "abc"
                                 << "Please enter a numeric value.";
        QTest::newRow("empty") << ""
                               << "Please enter a numeric value.";
        QTest::newRow("zero") << "0"
                              << "Please enter a value more than 0.";
        QTest::newRow("negative") << "-3"
                                  << "Please enter a value more than 0.";
        QTest::newRow("two") << "2"
                             << "";
        QTest::newRow("a fraction above zero") << "0.5"
                                               << "";
    }
    void waitingTimeWarnings() {
        QFETCH(QString, text);
        QFETCH(QString, warning);
        QCOMPARE(Durations::waitTextWarning(text), warning);
    }

    void helpShowsItsMessage() {
        Parts p;
        p.durations.showHelp();
        QCOMPARE(p.platform.messages.size(), 1);
        QCOMPARE(p.platform.messages[0].title, QStringLiteral("Tessavrin"));
        QVERIFY(
            p.platform.messages[0].text.startsWith("Before holding the key down you should give"));
    }
};

QTEST_MAIN(DurationsTest)
#include "DurationsTest.moc"
