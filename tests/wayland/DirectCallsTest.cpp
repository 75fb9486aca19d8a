// Calls written straight to a bus of the test's own (dbus-daemon): answered
// in the order made, errors told, a silent callee waited for no longer than asked.
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include "platform/gnome/DirectCalls.h"
using namespace quindorel;

// The callee; on a thread of its own it answers while the test's thread waits.
class Sink : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Sink")
public:
    QList<int> heard;
public slots:
    void Key(const QDBusObjectPath&, const QVariantMap&, int number, uint) { heard << number; }
};

class DirectCallsTest : public QObject {
    Q_OBJECT
    const QString service = QStringLiteral("org.example.Sink");
    QProcess daemon;
    QDBusConnection bus{QString()};
    DirectCalls callsTo(const QString& to, const QString& path = QStringLiteral("/s/1")) {
        return DirectCalls(bus, to, QStringLiteral("/sink"), service, path);
    }
private slots:
    void initTestCase() {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(daemon.waitForReadyRead(20000));
        bus = QDBusConnection::connectToBus(QString::fromUtf8(daemon.readLine().trimmed()), "t");
        QVERIFY(bus.isConnected());
        QCoreApplication::processEvents();  // QtDBus hands calls on from then
    }
    void cleanupTestCase() { daemon.kill(), daemon.waitForFinished(); }
    void answersInOrder() {
        QThread thread;
        Sink sink;
        sink.moveToThread(&thread);
        thread.start();
        QVERIFY(bus.registerService(service));
        QVERIFY(
            bus.registerObject(QStringLiteral("/sink"), &sink, QDBusConnection::ExportAllSlots));
        DirectCalls calls = callsTo(service), nobody = callsTo("org.example.Nobody"),
                    unsent = callsTo(service, "not a path");
        QList<int> sent;
        for (int i = 0; i < 50; ++i) {
            calls.call("Key", i, 1);
            sent << i;
        }
        nobody.call("Key", 50, 1);
        unsent.call("Key", 51, 1);
        std::vector<DirectCalls::Answer> answers = calls.wait(std::chrono::seconds(10));
        answers.push_back(nobody.wait(std::chrono::seconds(10)).at(0));
        answers.push_back(unsent.wait(std::chrono::seconds(10)).at(0));
        thread.quit();
        QVERIFY(thread.wait());
        for (int i = 0; i < 50; ++i)
            QVERIFY(answers.at(i).answered && answers.at(i).error.isEmpty());
        QCOMPARE(sink.heard, sent);
        QVERIFY(answers.at(50).error.contains("org.example.Nobody"));
        QVERIFY(!answers.at(51).answered);  // never sent
        bus.unregisterObject(QStringLiteral("/sink"));
    }
    void silentCalleeIsNotWaitedForLong() {
        Sink sink;  // served on this thread, which waits: no answer can come
        QVERIFY(
            bus.registerObject(QStringLiteral("/sink"), &sink, QDBusConnection::ExportAllSlots));
        DirectCalls calls = callsTo(bus.baseService());
        calls.call("Key", 7, 1);
        QVERIFY(!calls.wait(std::chrono::milliseconds(100)).at(0).answered);
        // It comes in late; its answer finds no one and harms nothing.
        QTRY_COMPARE(sink.heard, QList<int>{7});
    }
};

QTEST_GUILESS_MAIN(DirectCallsTest)
#include "DirectCallsTest.moc"
