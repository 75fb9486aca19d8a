// The X11 back end on Qt's own connection: the program's platform finds it,
// sees the program's window in the walk, and delivers the stop hot key
// through Qt's native event filter into the ordinary event loop.
#include <QWidget>
#include <QtTest>

#include "platform/DesktopPlatform.h"
#include "platform/x11/X11Desktop.h"

class QtHotKeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
                 "run on an X server with QT_QPA_PLATFORM=xcb");
    }

    void qtConnectionIsFound() { QVERIFY(quindorel::X11Desktop::fromQt({}) != nullptr); }

    void programWindowIsWalked() {
        auto platform = quindorel::createDesktopPlatform();
        QWidget window;
        window.setWindowTitle(QStringLiteral("Quindorel under test"));
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto id = static_cast<quindorel::WindowId>(window.winId());
        QTRY_VERIFY([&] {
            for (const quindorel::TopLevelWindow& row : platform->desktop().topLevelWindows()) {
                if (row.id == id) {
                    return row.title == "Quindorel under test" && row.visible && !row.owned;
                }
            }
            return false;
        }());
    }

    void hotKeyReachesTheEventLoop() {
        auto platform = quindorel::createDesktopPlatform();
        int received = 0;
        platform->setStopKeyHandler([&] { ++received; });
        quindorel::NativeDesktop& desktop = platform->desktop();
        QVERIFY(desktop.setUpStopKey(0));

        desktop.sendKeys(
            {{17, true}, {16, true}, {83, true}, {83, false}, {16, false}, {17, false}});
        QTRY_COMPARE(received, 1);
        // Each press is one delivery.
        desktop.sendKeys(
            {{17, true}, {16, true}, {83, true}, {83, false}, {16, false}, {17, false}});
        QTRY_COMPARE(received, 2);
        QTest::qWait(100);
        QCOMPARE(received, 2);
    }
};

QTEST_MAIN(QtHotKeyTest)
#include "QtHotKeyTest.moc"
