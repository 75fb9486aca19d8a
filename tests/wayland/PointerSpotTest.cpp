// Where the pointer goes for a window's buttons: the point nearest its middle
// that no window above covers, never over one of ours.
#include <QtTest>

#include "platform/wayland/NativeWindows.h"

using namespace quindorel;

class PointerSpotTest : public QObject {
    Q_OBJECT
private slots:
    void thePointNearestTheMiddle_data() {
        QTest::addColumn<QList<QList<int>>>("stacked");  // x, y, width, height, own; bottom first
        QTest::addColumn<int>("target");
        QTest::addColumn<QPoint>("expected");  // (-1, -1): none
        const QList<int> target = {0, 0, 320, 160, 0};
        QTest::newRow("uncovered: its middle") << QList<QList<int>>{target} << 0 << QPoint(160, 80);
        QTest::newRow("a window below does not cover it")
            << QList<QList<int>>{{0, 0, 320, 160, 0}, target} << 1 << QPoint(160, 80);
        QTest::newRow("its middle covered from above: the nearest free point")
            << QList<QList<int>>{target, {100, 0, 120, 160, 0}} << 0 << QPoint(96, 80);
        QTest::newRow("covered whole")
            << QList<QList<int>>{target, {0, 0, 320, 160, 0}} << 0 << QPoint(-1, -1);
        QTest::newRow("ours is never the target")
            << QList<QList<int>>{{0, 0, 320, 160, 1}} << 0 << QPoint(-1, -1);
        QTest::newRow("an empty window")
            << QList<QList<int>>{{5, 5, 0, 0, 0}} << 0 << QPoint(-1, -1);
        QTest::newRow("no such place in the stack")
            << QList<QList<int>>{target} << 3 << QPoint(-1, -1);
    }
    void thePointNearestTheMiddle() {
        QFETCH(QList<QList<int>>, stacked);
        QFETCH(int, target);
        QFETCH(QPoint, expected);
        std::vector<StackedRect> rects;
        for (const QList<int>& r : stacked) {
            rects.push_back({r[0], r[1], r[2], r[3], r[4] != 0});
        }
        const auto point = visiblePointNearMiddle(rects, static_cast<std::size_t>(target));
        QCOMPARE(point ? QPoint(point->first, point->second) : QPoint(-1, -1), expected);
    }
};

QTEST_GUILESS_MAIN(PointerSpotTest)
#include "PointerSpotTest.moc"
