// What the program reads from Sway's answers: where windows lie and which
// float, and whether the user's configuration binds the stop key already.
#include <QtTest>

#include "platform/wayland/SwayIpc.h"

using namespace quindorel;

class SwayIpcTest : public QObject {
    Q_OBJECT
private slots:
    void windowsOfTheTree() {
        // Trimmed from Sway 1.7's get_tree: a workspace with a tiled native
        // window and a floating Xwayland one.
        const auto tree = SwayIpc::parseTree(R"({"id":1,"name":"root",
            "rect":{"x":0,"y":0,"width":2560,"height":1024},"nodes":[{"id":3,"name":"1",
            "type":"workspace","rect":{"x":0,"y":0,"width":1280,"height":1024},
            "floating_nodes":[{"id":7,"name":"Quindorel","pid":42,"shell":"xwayland",
              "app_id":null,"rect":{"x":300,"y":200,"width":656,"height":644},"nodes":[]}],
            "nodes":[{"id":5,"name":"wev","pid":41,"shell":"xdg_shell","app_id":"wev",
              "rect":{"x":0,"y":0,"width":1280,"height":1024},"nodes":[]}]}]})");
        QVERIFY(tree);
        QCOMPARE(tree->layout.width, 2560);
        QCOMPARE(tree->windows.size(), std::size_t(2));
        const SwayIpc::Window& tiled = tree->windows[0];
        const SwayIpc::Window& floating = tree->windows[1];
        QCOMPARE(tiled.conId, 5);
        QCOMPARE(tiled.appId, std::string("wev"));
        QVERIFY(!tiled.floating && !tiled.xwayland);
        QCOMPARE(floating.title, std::string("Quindorel"));
        QVERIFY(floating.floating && floating.xwayland && floating.appId.empty());
        QVERIFY(floating.rect.contains(300, 843) && !floating.rect.contains(300, 844));
    }

    void damagedAnswersGiveNoTree() {
        QVERIFY(!SwayIpc::parseTree("{\"nodes\": [1, 2"));
        QVERIFY(!SwayIpc::parseTree("[]"));
        // Odd types are passed over, not trusted.
        const auto tree = SwayIpc::parseTree(R"({"rect":5,"nodes":[{"pid":"x","name":7}]})");
        QVERIFY(tree && tree->windows.empty());
    }

    void theStopKeyTaken_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<bool>("taken");
        QTest::newRow("as written") << "bindsym Ctrl+Shift+s exec foo" << true;
        QTest::newRow("other order, case, Control, flags")
            << "  bindsym --release --no-repeat shift+CONTROL+S kill" << true;
        QTest::newRow("through a variable") << "set $m Ctrl\nbindsym $m+Shift+s exec x" << true;
        QTest::newRow("another key") << "bindsym Ctrl+Shift+d exec foo" << false;
        QTest::newRow("a key more") << "bindsym Mod4+Ctrl+Shift+s exec foo" << false;
        QTest::newRow("only mentioned") << "# bindsym Ctrl+Shift+s\nexec Ctrl+Shift+s" << false;
    }
    void theStopKeyTaken() {
        QFETCH(QString, config);
        QFETCH(bool, taken);
        QCOMPARE(SwayIpc::bindsStopKey(config.toStdString()), taken);
    }
};

QTEST_GUILESS_MAIN(SwayIpcTest)
#include "SwayIpcTest.moc"
