// The window between the user and the model: each control's action reaches
// the model, and each change of the model shows on its control.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "common/RuntimeError.h"
#include "logic/Fixture.h"

using namespace quindorel;
using namespace quindorel::testing;

class ChoicesViewTest : public QObject {
    Q_OBJECT

private slots:
    void switchClicksTurnTheModelOnAndOff() {
        Fixture f;
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
        Fixture f;
        f.start();
        f.controls().timedOption->click();
        QCOMPARE(f.model().choices.mode(), UserChoices::Mode::Timed);
        QVERIFY(f.controls().holdList->isEnabled());
        QCOMPARE(f.platform.store.value("Option2"), QStringLiteral("True"));
        f.controls().foreverOption->click();
        QCOMPARE(f.model().choices.mode(), UserChoices::Mode::UntilStopKey);
        QVERIFY(!f.controls().holdList->isEnabled());
        QVERIFY(!f.controls().timedOption->isChecked());
    }

    void listsAndFieldReachTheModel() {
        Fixture f;
        f.addWindow(42, "Game");
        f.addWindow(43, "Editor");
        f.start();
        QTreeWidget* holdList = f.controls().holdList;
        holdList->setCurrentItem(holdList->topLevelItem(3));
        emit holdList->itemClicked(holdList->topLevelItem(3), 0);
        QCOMPARE(f.model().choices.holdRow(), 3);
        QCOMPARE(f.model().counts.holdSeconds, 60);
        QCOMPARE(f.platform.store.value("OftenIndex"), QStringLiteral("4"));

        f.controls().waitField->setText("7");
        QCOMPARE(f.model().choices.waitText(), QStringLiteral("7"));
        QCOMPARE(f.platform.store.value("Text1"), QStringLiteral("7"));

        QTreeWidget* appList = f.controls().appList;
        QCOMPARE(f.model().targetFinder.selectedHandle(), 42);
        appList->setCurrentItem(appList->topLevelItem(1));
        QCOMPARE(f.model().targetFinder.selectedHandle(), 43);
        appList->clearSelection();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.model().targetFinder.selectedHandle());
    }

    void modelChangesShowOnTheControls() {
        Fixture f;
        f.addWindow(42, "Game");
        f.start();
        f.model().choices.setSwitchOn(true);
        QCOMPARE(f.controls().switchButton->text(), QStringLiteral("Turn Off"));
        f.model().choices.setWaitText("12");
        QCOMPARE(f.controls().waitField->text(), QStringLiteral("12"));
        f.model().choices.setHoldRow(4);
        QCOMPARE(f.controls().holdList->currentItem()->text(0), QStringLiteral("X seconds"));
        f.addWindow(43, "Editor");
        f.model().targetFinder.getAllWindows();
        QCOMPARE(f.controls().appList->topLevelItemCount(), 2);
        QCOMPARE(f.controls().appList->topLevelItem(1)->text(1), QStringLiteral("43"));
        QCOMPARE(f.controls().appList->selectedItems().value(0)->text(1), QStringLiteral("42"));
    }

    void holdNowAndHelpButtonsReachTheModel() {
        Fixture f;
        f.addWindow(42, "Game");
        f.start();
        f.model().toggleKey(41);
        f.controls().switchButton->click();
        f.model().choices.setWaitText("1");
        f.desktop().calls.clear();
        f.controls().holdNowButton->click();
        QCOMPARE(f.desktop().keyCalls(), QStringList({"down 65"}));
        f.platform.messages.clear();
        f.controls().helpButton->click();
        QCOMPARE(f.platform.messages.size(), 1);
    }
};

QTEST_MAIN(ChoicesViewTest)
#include "ChoicesViewTest.moc"
