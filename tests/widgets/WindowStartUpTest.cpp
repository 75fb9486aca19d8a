// What start-up does to the window itself: captions, columns, the rows and
// choices it paints, and the optional files beside the program.
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/FirstFrame.h"
#include "widgets/WindowFixture.h"

using namespace quindorel;
using namespace quindorel::testing;

class WindowStartUpTest : public QObject {
    Q_OBJECT

private slots:
    void firstRunShowsTheDesignedWindow() {
        WindowFixture f;
        f.start();
        const FormControls& c = f.controls();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Quindorel"));
        QCOMPARE(f.platform.applicationTitle, QStringLiteral("Tessavrin"));
        QCOMPARE(c.waitField->text(), QStringLiteral("1"));
        QVERIFY(c.foreverOption->isChecked());
        QVERIFY(!c.holdList->isEnabled());
        QStringList rows;
        for (int i = 0; i < c.holdList->topLevelItemCount(); ++i) {
            rows << c.holdList->topLevelItem(i)->text(0);
        }
        QCOMPARE(rows,
                 QStringList({"1 second", "5 seconds", "10 seconds", "60 seconds", "X seconds"}));
        QCOMPARE(c.holdList->selectedItems().value(0), c.holdList->topLevelItem(1));
        QCOMPARE(c.holdList->headerItem()->text(0), QStringLiteral("Hold for..."));
    }

    void damagedCursorFileIsReportedAt106() {
        WindowFixture f;
        f.writeFile(f.program.filePath("HAND-M.CUR"), "not a cursor");
        f.start();
        QCOMPARE(f.reportedLines(), QList<int>({106}));
    }

    void skinFileKeepsTheDesignedLook() {
        WindowFixture f;
        QDir(f.program.path()).mkdir("x");
        f.writeFile(f.program.filePath("x/o.cjs"), "skin");
        f.start();
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.window->palette().color(QPalette::Window), QColor(Qt::white));
    }

    void workAfterShowingWaitsForTheFirstFrame() {
        struct Painted : QWidget {
            int paints = 0;
            void paintEvent(QPaintEvent*) override { ++paints; }
        } window;
        int paintsBefore = -1;
        window.show();
        whenFirstFrameShown(window, [&] { paintsBefore = window.paints; });
        QCOMPARE(paintsBefore, -1);
        QTRY_VERIFY(paintsBefore > 0);
    }

    void columns() {
        WindowFixture f;
        f.start();
        QTreeWidget* list = f.controls().appList;
        QCOMPARE(list->headerItem()->text(0),
                 QStringLiteral("Select One Application To Hold Into"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("Handle"));
        QCOMPARE(list->columnWidth(0), 567);
        QCOMPARE(list->columnWidth(1), 1);
    }
};

QTEST_MAIN(WindowStartUpTest)
#include "WindowStartUpTest.moc"
