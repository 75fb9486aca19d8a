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

    // Both keys through Qt's own connection: each press is one delivery of
    // its action (the user's key is heard coming up in between).
    void hotKeyReachesTheEventLoop() {
        using quindorel::KeyAction;
        auto platform = quindorel::createDesktopPlatform();
        std::vector<KeyAction> received;
        platform->setKeyActionHandler([&](KeyAction action) { received.push_back(action); });
        quindorel::NativeDesktop& desktop = platform->desktop();
        QVERIFY(desktop.setUpStopKey(0));
        QVERIFY(desktop.setUpKey(KeyAction::ToggleHold,
                                 quindorel::HotKey{0x77, quindorel::kStopHotKey.modifiers}, 0));
        const auto press = [&](std::uint8_t key) {
            desktop.sendKeys(
                {{17, true}, {16, true}, {key, true}, {key, false}, {16, false}, {17, false}});
        };
        std::vector<KeyAction> expected;
        for (const std::uint8_t key : {83, 83, 0x77, 0x77}) {
            press(key);
            expected.push_back(key == 83 ? KeyAction::StopHold : KeyAction::ToggleHold);
            QTRY_COMPARE(received.size(), expected.size());
            QCOMPARE(received, expected);
        }
        QTest::qWait(100);
        QCOMPARE(received, expected);
    }
};

QTEST_MAIN(QtHotKeyTest)
#include "QtHotKeyTest.moc"
