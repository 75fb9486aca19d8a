#include <QtTest>

#include "Fixture.h"
#include "common/RuntimeError.h"
#include "targets/TargetFinder.h"

using namespace quindorel;
using namespace quindorel::testing;

namespace {

// The application list's rows as "title|handle".
QStringList rows(const HoldModel& model) {
    QStringList texts;
    for (const TargetRows::Row& row : model.targets().rows()) {
        texts << row.title + QLatin1Char('|') + QString::number(row.handle);
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
        QTest::newRow("a character of two units is not cut in half")
            << QString(78, 'x') + QString::fromUtf8("\xF0\x9F\x8E\xAE") << true << false << 7
            << QString(78, 'x') + "|7";
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
        QCOMPARE(rows(f.model()), row.isEmpty() ? QStringList() : QStringList{row});
    }

    void stackingOrderOwnWindowAndDuplicates() {
        Fixture f;
        f.addWindow(3, "Top");
        f.addWindow(Fixture::kOwnWindow, "Quindorel");
        f.addWindow(5, "Same");
        f.addWindow(6, "Same");
        f.start();
        QCOMPARE(rows(f.model()), QStringList({"Top|3", "Same|5", "Same|6"}));
        QCOMPARE(f.model().targets().selected(), 0);
        QCOMPARE(f.model().targetFinder().selectedHandle(), 3);
    }

    void refreshRebuildsAndSelectsTheFirstRow() {
        Fixture f;
        f.addWindow(3, "One");
        f.start();
        f.model().chooseTarget(-1);
        f.desktop().windows = {{9, "Nine", true, false}, {3, "One", true, false}};
        f.desktop().vanishDuringWalk = 3;  // closed while the list is walked
        f.model().refreshList();
        QCOMPARE(rows(f.model()), QStringList({"Nine|9"}));
        QCOMPARE(f.model().targets().selected(), 0);
        f.model().chooseTarget(1);  // past the last row: no window, not a stray one
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.model().targetFinder().selectedHandle());
        f.desktop().windows.clear();
        f.model().refreshList();
        QVERIFY(f.model().targets().rows().empty());
        QCOMPARE(f.model().targets().selected(), -1);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.model().targetFinder().selectedHandle());
    }
};

QTEST_MAIN(TargetFinderTest)
#include "TargetFinderTest.moc"
