// Which Sway container each foreign-toplevel handle is, told apart by what
// both sides say at one moment and never by a guess between look-alikes.
#include <QtTest>

#include "platform/wayland/SwayPairs.h"

using namespace quindorel;

namespace {

// A toplevel or a container written "id app title [*]" (* in front), e.g.
// "-1 foot sh *"; a container of an X11 window "x12:7 Game Game" (container
// 12, window 7, class Game); a toplevel told only after the tree was read
// "-3 wev wev new".
WaylandToplevel toplevel(const QString& text) {
    const QStringList f = text.split(QLatin1Char(' '));
    return {f[0].toInt(), f[2].toStdString(), f[1].toStdString(), f.value(3) == "*", false};
}

// The toplevels as told before the tree was read: all but the new ones.
std::vector<WaylandToplevel> before(const std::vector<WaylandToplevel>& after,
                                    const QStringList& texts) {
    std::vector<WaylandToplevel> told;
    for (int i = 0; i < texts.size(); ++i) {
        if (!texts[i].endsWith(QLatin1String(" new"))) {
            told.push_back(after[i]);
        }
    }
    return told;
}

SwayIpc::Window container(const QString& text) {
    const QStringList f = text.split(QLatin1Char(' '));
    SwayIpc::Window window;
    window.xwayland = f[0].startsWith(QLatin1Char('x'));
    const QStringList ids = f[0].mid(window.xwayland ? 1 : 0).split(QLatin1Char(':'));
    window.conId = ids[0].toLongLong();
    window.x11Window = ids.value(1).toUInt();
    (window.xwayland ? window.x11Class : window.appId) = f[1].toStdString();
    window.title = f[2].toStdString();
    window.focused = f.size() > 3;
    return window;
}

// "toplevel>container" for each toplevel, "?" where unpaired.
QString pairsOf(const SwayPairs& pairs, const std::vector<WaylandToplevel>& toplevels) {
    QStringList out;
    for (const WaylandToplevel& t : toplevels) {
        const auto c = pairs.containerOf(t.id);
        out << QStringLiteral("%1>%2").arg(t.id).arg(c ? QString::number(*c) : QStringLiteral("?"));
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

class SwayPairsTest : public QObject {
    Q_OBJECT
private slots:
    void pairs_data() {
        QTest::addColumn<QStringList>("toplevels");
        QTest::addColumn<QStringList>("containers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("each of its own look")
            << QStringList{"-1 foot sh", "-2 wev wev"} << QStringList{"5 wev wev", "4 foot sh"}
            << "-1>4 -2>5";
        QTest::newRow("look-alikes, neither in front")
            << QStringList{"-1 wev wev", "-2 wev wev"} << QStringList{"4 wev wev", "5 wev wev"}
            << "-1>? -2>?";
        // The second in front: it is the focused one, and the other is the
        // one left.
        QTest::newRow("look-alikes, one in front")
            << QStringList{"-1 wev wev", "-2 wev wev *"} << QStringList{"4 wev wev", "5 wev wev *"}
            << "-1>4 -2>5";
        QTest::newRow("three look-alikes, one in front")
            << QStringList{"-1 wev wev", "-2 wev wev *", "-3 wev wev"}
            << QStringList{"4 wev wev", "5 wev wev *", "6 wev wev"} << "-1>? -2>5 -3>?";
        // In front on one side only (the focus moved as the tree was read).
        QTest::newRow("in front, but not focused")
            << QStringList{"-1 wev wev", "-2 wev wev *"} << QStringList{"4 wev wev", "5 wev wev"}
            << "-1>? -2>?";
        QTest::newRow("an X11 window of the same look: its class")
            << QStringList{"-1 Game Game", "-2 game Game"}
            << QStringList{"x4:77 Game Game", "5 game Game"} << "-1>4 -2>5";
        // A look-alike came as the tree was read: its container may be
        // the one in the tree.
        QTest::newRow("the only one, but another came meanwhile")
            << QStringList{"-1 wev wev", "-2 wev wev new"} << QStringList{"5 wev wev"}
            << "-1>? -2>?";
        QTest::newRow("a title changed: the other side tells another")
            << QStringList{"-1 wev new"} << QStringList{"4 wev old"} << "-1>?";
    }
    void pairs() {
        QFETCH(QStringList, toplevels);
        QFETCH(QStringList, containers);
        QFETCH(QString, expected);
        std::vector<WaylandToplevel> ts;
        std::vector<SwayIpc::Window> cs;
        for (const QString& t : toplevels) ts.push_back(toplevel(t));
        for (const QString& c : containers) cs.push_back(container(c));
        SwayPairs pairs;
        pairs.update(before(ts, toplevels), ts, cs);
        QCOMPARE(pairsOf(pairs, ts), expected);
    }

    // Paired once, look-alikes stay told apart when another comes to the
    // front; a pair goes with its windows, and the last of a look pairs.
    void pairsLast() {
        std::vector<WaylandToplevel> ts = {toplevel("-1 wev wev"), toplevel("-2 wev wev *")};
        std::vector<SwayIpc::Window> cs = {container("4 wev wev"), container("5 wev wev *")};
        SwayPairs pairs;
        pairs.update(ts, ts, cs);
        ts[1].activated = false;
        ts[0].activated = true;
        cs.push_back(container("6 wev wev *"));  // a third, in front on Sway's side only
        cs[1].focused = false;
        pairs.update(ts, ts, cs);
        QCOMPARE(pairsOf(pairs, ts), QString("-1>4 -2>5"));
        ts = {ts[0], toplevel("-3 wev wev")};
        cs = {cs[0], container("6 wev wev")};
        pairs.update(ts, ts, cs);
        QCOMPARE(pairsOf(pairs, ts), QString("-1>4 -3>6"));
    }

    void kinds_data() {
        QTest::addColumn<QStringList>("containers");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("x11Window");
        QTest::newRow("paired, native")
            << QStringList{"4 Game Game"} << int(WindowKind::Native) << 0;
        QTest::newRow("paired, X11")
            << QStringList{"x4:77 Game Game"} << int(WindowKind::Xwayland) << 77;
        QTest::newRow("unpaired, every look-alike X11")
            << QStringList{"x4:77 Game Game", "x5:78 Game Game"} << int(WindowKind::Xwayland) << 0;
        QTest::newRow("unpaired, look-alikes of both")
            << QStringList{"x4:77 Game Game", "5 Game Game"} << int(WindowKind::Unknown) << 0;
    }
    void kinds() {
        QFETCH(QStringList, containers);
        QFETCH(int, kind);
        QFETCH(int, x11Window);
        std::vector<WaylandToplevel> ts = {toplevel("-1 Game Game")};
        if (containers.size() > 1) {
            ts.push_back(toplevel("-2 Game Game"));
        }
        std::vector<SwayIpc::Window> cs;
        for (const QString& c : containers) cs.push_back(container(c));
        SwayPairs pairs;
        pairs.update(ts, ts, cs);
        QCOMPARE(int(pairs.kindOf(-1).kind), kind);
        QCOMPARE(int(pairs.kindOf(-1).x11Window), x11Window);
    }
};

QTEST_GUILESS_MAIN(SwayPairsTest)
#include "SwayPairsTest.moc"
