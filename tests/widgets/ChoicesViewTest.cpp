// The window between the user and the model: each control's action reaches
// the model, and each change of the model shows on its control.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "common/RuntimeError.h"
#include "widgets/WindowFixture.h"

using namespace quindorel;
using namespace quindorel::testing;

class ChoicesViewTest : public QObject {
    Q_OBJECT

private slots:
    void switchClicksTurnTheModelOnAndOff() {
        WindowFixture f;
        f.start();
        f.controls().switchButton->click();
        QVERIFY(f.switchOn());
        QCOMPARE(f.controls().switchButton->text(), QStringLiteral("Turn Off"));
        QCOMPARE(f.waitClock().interval(), 1000);
        f.controls().switchButton->click();
        QVERIFY(!f.switchOn());
        QCOMPARE(f.controls().switchButton->text(), QStringLiteral("Turn On"));
        QCOMPARE(f.platform.store.value("BackupSwitch"), QStringLiteral("Off"));
    }

    void optionClicksChooseTheMode() {
        WindowFixture f;
        f.start();
        f.controls().timedOption->click();
        QCOMPARE(f.model().choices().mode(), UserChoices::Mode::Timed);
        QVERIFY(f.controls().holdList->isEnabled());
        QCOMPARE(f.platform.store.value("Option2"), QStringLiteral("True"));
        f.controls().foreverOption->click();
        QCOMPARE(f.model().choices().mode(), UserChoices::Mode::UntilStopKey);
        QVERIFY(!f.controls().holdList->isEnabled());
        QVERIFY(!f.controls().timedOption->isChecked());
    }

    // Qt may deactivate the window between a click's press and its release.
    void aClickSurvivesTheWindowDeactivatingMidway() {
        WindowFixture f;
        f.start();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        const QPoint middle = f.key(41)->mapTo(f.window.get(), f.key(41)->rect().center());
        QTest::mousePress(f.window->windowHandle(), Qt::LeftButton, {}, middle);
        QApplication::setActiveWindow(nullptr);  // another program has the keyboard
        QTest::mouseRelease(f.window->windowHandle(), Qt::LeftButton, {}, middle);
        QVERIFY(f.model().marks().marked(41));
    }

    void listsAndFieldReachTheModel() {
        WindowFixture f;
        f.addWindow(42, "Game");
        f.addWindow(43, "Editor");
        f.start();
        QTreeWidget* holdList = f.controls().holdList;
        holdList->setCurrentItem(holdList->topLevelItem(3));
        emit holdList->itemClicked(holdList->topLevelItem(3), 0);
        QCOMPARE(f.model().choices().holdRow(), 3);
        QCOMPARE(f.model().counts().holdSeconds, 60);
        QCOMPARE(f.platform.store.value("OftenIndex"), QStringLiteral("4"));

        f.controls().waitField->setText("7");
        QCOMPARE(f.model().choices().waitText(), QStringLiteral("7"));
        QCOMPARE(f.platform.store.value("Text1"), QStringLiteral("7"));

        QTreeWidget* appList = f.controls().appList;
        QCOMPARE(f.model().targetFinder().selectedHandle(), 42);
        appList->setCurrentItem(appList->topLevelItem(1));
        QCOMPARE(f.model().targetFinder().selectedHandle(), 43);
        appList->clearSelection();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.model().targetFinder().selectedHandle());
    }

    void modelChangesShowOnTheControls() {
        WindowFixture f;
        f.addWindow(42, "Game");
        f.start();
        f.model().turnSwitch();
        QCOMPARE(f.controls().switchButton->text(), QStringLiteral("Turn Off"));
        f.model().typeWaitTime("12");
        QCOMPARE(f.controls().waitField->text(), QStringLiteral("12"));
        f.model().chooseHoldRow(4);
        QCOMPARE(f.controls().holdList->currentItem()->text(0), QStringLiteral("X seconds"));
        f.addWindow(43, "Editor");
        f.model().refreshList();
        QCOMPARE(f.controls().appList->topLevelItemCount(), 2);
        QCOMPARE(f.controls().appList->topLevelItem(1)->text(1), QStringLiteral("43"));
        QCOMPARE(f.controls().appList->selectedItems().value(0)->text(1), QStringLiteral("42"));
    }

    void holdNowAndHelpButtonsReachTheModel() {
        WindowFixture f;
        f.addWindow(42, "Game");
        f.start();
        f.model().toggleKey(41);
        f.controls().switchButton->click();
        f.model().typeWaitTime("1");
        f.desktop().calls.clear();
        f.controls().holdNowButton->click();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        f.platform.messages.clear();
        f.controls().helpButton->click();
        QCOMPARE(f.platform.messages.size(), 1);
    }

    void holdListAlwaysKeepsARow() {
        WindowFixture f;
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
        QCOMPARE(f.model().selectedHoldSeconds(), 10);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void leavingTheFieldWarnsAndKeepsTheText() {
        WindowFixture f;
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
        WindowFixture f;
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
};

QTEST_MAIN(ChoicesViewTest)
#include "ChoicesViewTest.moc"
