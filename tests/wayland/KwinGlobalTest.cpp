// KWin is told by globals of its own, not by the KDE protocols that wlroots
// desktops offer too (Sway took KWin's repeat setting for its own).
#include <QtTest>

#include "platform/wayland/WaylandConnection.h"

class KwinGlobalTest : public QObject {
    Q_OBJECT
private slots:
    void kwin_data() {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<bool>("kwin");
        QTest::newRow("fake input") << "org_kde_kwin_fake_input" << true;
        QTest::newRow("blur") << "org_kde_kwin_blur_manager" << true;
        QTest::newRow("wlroots' decorations") << "org_kde_kwin_server_decoration_manager" << false;
        QTest::newRow("wlroots' idle") << "org_kde_kwin_idle" << false;
        QTest::newRow("wlroots' own") << "zwlr_foreign_toplevel_manager_v1" << false;
    }
    void kwin() {
        QFETCH(QString, interface);
        QTEST(quindorel::isKwinGlobal(interface.toStdString()), "kwin");
    }
};

QTEST_GUILESS_MAIN(KwinGlobalTest)
#include "KwinGlobalTest.moc"
