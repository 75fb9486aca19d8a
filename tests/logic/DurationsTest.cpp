#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "Fixture.h"
#include "common/ErrorTrap.h"
#include "hold/ClockCounts.h"
#include "hold/Durations.h"

using namespace quindorel;
using namespace quindorel::testing;

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
        Fixture f;
        f.start();
        f.window->model().counts.customHoldSeconds = custom;
        f.model().choices.setHoldRow(row);
        QCOMPARE(f.window->model().durations.selectedHoldSeconds(), seconds);
    }

    void listClickSavesIndexAndRestartsTheCount() {
        Fixture f;
        f.start();
        f.window->model().counts.holdTicks = 7;
        f.chooseHoldRow(3);
        QCOMPARE(f.platform.store.value("OftenIndex"), QStringLiteral("4"));
        QCOMPARE(f.window->model().counts.holdSeconds, 60);
        QCOMPARE(f.window->model().counts.holdTicks, 0);
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
        Fixture f;
        f.start();
        f.window->model().counts.customHoldSeconds = 99;
        for (const QString& answer : answers) {
            f.platform.answers.push_back(answer == "<cancel>" ? std::nullopt
                                                              : std::optional<QString>(answer));
        }
        f.platform.messages.clear();
        ErrorTrap trap(f.platform, QStringLiteral("Form1.PushButton4_Click"));
        QVERIFY(f.window->model().durations.askCustomSeconds(trap, 106, 106, 106));
        QCOMPARE(f.platform.prompts.size(), answers.size());
        QCOMPARE(f.window->model().counts.customHoldSeconds, stored);
        QStringList shown;
        for (const QString& text : f.platform.messageTexts()) {
            shown << text.section(QLatin1Char('\r'), 0, 0);
        }
        QCOMPARE(shown, boxes);
    }

    void holdListAlwaysKeepsARow() {
        Fixture f;
        f.start();
        f.window->show();
        QTreeWidget* list = f.controls().holdList;
        f.chooseMode(UserChoices::Mode::Timed);
        QTreeWidgetItem* row = list->topLevelItem(2);
        list->setCurrentItem(row);
        const QPoint middle = list->visualItemRect(row).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, middle);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem*>({row}));
        QCOMPARE(f.window->model().durations.selectedHoldSeconds(), 10);
        QVERIFY(f.platform.messages.isEmpty());
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

    void leavingTheFieldWarnsAndKeepsTheText() {
        Fixture f;
        f.start();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QLineEdit* field = f.controls().waitField;
        field->setFocus();
        field->setText("abc");
        f.platform.messages.clear();
        f.controls().helpButton->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, QStringLiteral("Please enter a numeric value."));
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Tessavrin"));
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(field->text(), QStringLiteral("abc"));

        // A click on a key leaves the field too.
        QTest::mouseClick(f.key(41), Qt::LeftButton);
        QTRY_COMPARE(f.platform.messages.size(), 2);
        QTRY_VERIFY(field->hasFocus());
    }

    void everyKeystrokeIsSaved() {
        Fixture f;
        f.start();
        QLineEdit* field = f.controls().waitField;
        field->clear();
        f.platform.store.writes.clear();
        QTest::keyClicks(field, "12");
        QCOMPARE(f.platform.store.writes, QStringList({"Text1=1", "Text1=12"}));
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(f.platform.store.value("Text1"), QString());
    }

    void helpShowsItsMessage() {
        Fixture f;
        f.start();
        f.platform.messages.clear();
        f.model().showHelp();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Tessavrin"));
        QVERIFY(
            f.platform.messages[0].text.startsWith("Before holding the key down you should give"));
    }
};

QTEST_MAIN(DurationsTest)
#include "DurationsTest.moc"
