#include <QPushButton>
#include <QtTest>

#include "Fixture.h"
#include "common/RuntimeError.h"
#include "targets/TargetFinder.h"

using namespace quindorel;
using namespace quindorel::testing;

namespace {

QStringList rows(QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        texts << list->topLevelItem(i)->text(0) + QLatin1Char('|') + list->topLevelItem(i)->text(1);
    }
    return texts;
}

}  // namespace

class TargetFinderTest : public QObject {
    Q_OBJECT
private slots:
    void listingRules_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("owned");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("row");  // empty: not listed
        QTest::newRow("titled") << "Editor" << true << false << 7 << "Editor|7";
        QTest::newRow("untitled") << "" << true << false << 7 << "";
        QTest::newRow("spaces only") << "   " << true << false << 7 << "";
        QTest::newRow("spaces around kept") << " Editor " << true << false << 7 << " Editor |7";
        QTest::newRow("tab is not a space") << "\t" << true << false << 7 << "\t|7";
        QTest::newRow("hidden") << "Editor" << false << false << 7 << "";
        QTest::newRow("owned") << "Dialog" << true << true << 7 << "";
        QTest::newRow("negative handle")
            << "Editor" << true << false << -2147483647 - 1 << "Editor|-2147483648";
        QTest::newRow("80 characters cut to 79")
            << QString(80, 'x') << true << false << 7 << QString(79, 'x') + "|7";
        QTest::newRow("79 characters whole")
            << QString(79, 'y') << true << false << 7 << QString(79, 'y') + "|7";
        QTest::newRow("79 spaces then text is blank")
            << QString(79, ' ') + "z" << true << false << 7 << "";
    }
    void listingRules() {
        QFETCH(QString, title);
        QFETCH(bool, visible);
        QFETCH(bool, owned);
        QFETCH(int, id);
        QFETCH(QString, row);
        Fixture f;
        f.addWindow(id, title.toStdString(), visible, owned);
        f.start();
        QCOMPARE(rows(f.controls().appList), row.isEmpty() ? QStringList() : QStringList{row});
    }

    void stackingOrderOwnWindowAndDuplicates() {
        Fixture f;
        f.make();
        const WindowId own = static_cast<WindowId>(f.window->winId());
        f.addWindow(3, "Top");
        f.addWindow(own, "Quindorel");
        f.addWindow(5, "Same");
        f.addWindow(6, "Same");
        f.window->formLoad();
        QTreeWidget* list = f.controls().appList;
        QCOMPARE(rows(list), QStringList({"Top|3", "Same|5", "Same|6"}));
        QCOMPARE(list->selectedItems().value(0), list->topLevelItem(0));
        QCOMPARE(f.window->model().targetFinder.selectedHandle(), 3);
    }

    void refreshRebuildsAndSelectsTheFirstRow() {
        Fixture f;
        f.addWindow(3, "One");
        f.start();
        QTreeWidget* list = f.controls().appList;
        f.desktop().windows = {{9, "Nine", true, false}, {3, "One", true, false}};
        f.desktop().vanishDuringWalk = 3;  // closed while the list is walked
        f.controls().refreshButton->click();
        QCOMPARE(rows(list), QStringList({"Nine|9"}));
        QCOMPARE(list->selectedItems().value(0), list->topLevelItem(0));
        f.desktop().windows.clear();
        f.controls().refreshButton->click();
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.window->model().targetFinder.selectedHandle());
    }

    void columns() {
        Fixture f;
        f.start();
        QTreeWidget* list = f.controls().appList;
        QCOMPARE(list->headerItem()->text(0),
                 QStringLiteral("Select One Application To Hold Into"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("Handle"));
        QCOMPARE(list->columnWidth(0), 567);
        QCOMPARE(list->columnWidth(1), 1);
    }
};

QTEST_MAIN(TargetFinderTest)
#include "TargetFinderTest.moc"
