// Which Sway container each foreign-toplevel handle is, told apart by what
// both sides say at one moment and never by a guess between look-alikes.
#include <QtTest>

#include "platform/wayland/SwayPairs.h"

using namespace quindorel;

// A toplevel "id app title [*|new]" (* in front; new: told only after the
// tree was read); a container "id app title [*]" (* focused), of an X11
// window "x12:7 Class title". Each toplevel comes out "id>container kind":
// ? unpaired; n native, x<X11 id> Xwayland, u unknown.
class SwayPairsTest : public QObject {
    Q_OBJECT
private slots:
    void pairs_data() {
        QTest::addColumn<QStringList>("toplevels");
        QTest::addColumn<QStringList>("containers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("each of its own look")
            << QStringList{"-1 foot sh", "-2 wev wev"} << QStringList{"5 wev wev", "4 foot sh"}
            << "-1>4n -2>5n";
        QTest::newRow("look-alikes, neither in front")
            << QStringList{"-1 wev wev", "-2 wev wev"} << QStringList{"4 wev wev", "5 wev wev"}
            << "-1>?n -2>?n";
        QTest::newRow("look-alikes, one in front")
            << QStringList{"-1 wev wev", "-2 wev wev *"} << QStringList{"4 wev wev", "5 wev wev *"}
            << "-1>4n -2>5n";
        QTest::newRow("three look-alikes, one in front")
            << QStringList{"-1 wev wev", "-2 wev wev *", "-3 wev wev"}
            << QStringList{"4 wev wev", "5 wev wev *", "6 wev wev"} << "-1>?n -2>5n -3>?n";
        QTest::newRow("in front, but not focused")
            << QStringList{"-1 wev wev", "-2 wev wev *"} << QStringList{"4 wev wev", "5 wev wev"}
            << "-1>?n -2>?n";
        QTest::newRow("told only after the tree was read")
            << QStringList{"-1 wev wev new"} << QStringList{"5 wev wev"} << "-1>?n";
        QTest::newRow("an X11 window of the same look: its class")
            << QStringList{"-1 Game Game", "-2 game Game"}
            << QStringList{"x4:77 Game Game", "5 game Game"} << "-1>4x77 -2>5n";
        QTest::newRow("X11 look-alikes")
            << QStringList{"-1 Game Game", "-2 Game Game"}
            << QStringList{"x4:77 Game Game", "x5:78 Game Game"} << "-1>?x0 -2>?x0";
        QTest::newRow("look-alikes of both kinds")
            << QStringList{"-1 Game Game", "-2 Game Game"}
            << QStringList{"x4:77 Game Game", "5 Game Game"} << "-1>?u -2>?u";
        QTest::newRow("a title changed: the other side tells another")
            << QStringList{"-1 wev new"} << QStringList{"4 wev old"} << "-1>?u";
    }
    void pairs() {
        QFETCH(QStringList, toplevels);
        QFETCH(QStringList, containers);
        std::vector<WaylandToplevel> before, after;
        for (const QString& text : toplevels) {
            const QStringList f = text.split(' ');
            after.push_back(
                {f[0].toInt(), f[2].toStdString(), f[1].toStdString(), f.value(3) == "*"});
            if (f.value(3) != "new")
                before.push_back(after.back());
        }
        std::vector<SwayIpc::Window> windows;
        for (const QString& text : containers) {
            const QStringList f = text.split(' ');
            SwayIpc::Window w;
            w.xwayland = f[0].startsWith('x');
            const QStringList ids = f[0].mid(w.xwayland ? 1 : 0).split(':');
            w.conId = ids[0].toLongLong();
            w.x11Window = ids.value(1).toUInt();
            (w.xwayland ? w.x11Class : w.appId) = f[1].toStdString();
            w.title = f[2].toStdString();
            w.focused = f.size() > 3;
            windows.push_back(w);
        }
        SwayPairs pairs;
        pairs.update(before, after, windows);
        // Once paired, they stay told apart when another comes to the front.
        for (WaylandToplevel& t : after) t.activated = false;
        for (WaylandToplevel& t : before) t.activated = false;
        for (SwayIpc::Window& w : windows) w.focused = false;
        pairs.update(before, after, windows);
        QStringList out;
        for (const WaylandToplevel& t : after) {
            const auto c = pairs.containerOf(t.id);
            const SwayPairs::Kind kind = pairs.kindOf(t.id);
            out << QStringLiteral("%1>%2%3")
                       .arg(t.id)
                       .arg(c ? QString::number(*c) : "?")
                       .arg(kind.kind == WindowKind::Native ? QStringLiteral("n")
                            : kind.kind == WindowKind::Xwayland
                                ? "x" + QString::number(kind.x11Window)
                                : QStringLiteral("u"));
        }
        QTEST(out.join(' '), "expected");
    }
};

QTEST_GUILESS_MAIN(SwayPairsTest)
#include "SwayPairsTest.moc"
