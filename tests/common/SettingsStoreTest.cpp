#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "settings/QtSettingsStore.h"

using namespace quindorel;

constexpr auto kOwnerOnly =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void readingGivesDefaultAndCreatesNothing() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.path());
        QCOMPARE(store.getSetting("Marvenhal", "Quindorel", "OftenIndex", "2"),
                 QStringLiteral("2"));
        QVERIFY(!QFile::exists(dir.filePath("Marvenhal.conf")));
    }

    void firstWriteCreatesTheFileWithItsGroup() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.path());
        const mode_t oldMask = umask(0);
        store.saveSetting("Marvenhal", "Quindorel", "BackupSwitch", "On");
        store.flush();
        store.saveSetting("Marvenhal", "Quindorel", "BackupSwitch", "On");  // a rewrite
        store.flush();
        umask(oldMask);
        QFile file(dir.filePath("Marvenhal.conf"));
        QVERIFY(file.permissions() == kOwnerOnly || QSysInfo::productType() == "windows");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(file.readAll());
        QVERIFY2(content.contains("[Quindorel]"), qPrintable(content));
        QVERIFY2(content.contains("BackupSwitch=On"), qPrintable(content));
    }

    void valuesRoundTripExactly_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("number") << "12";
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "  5 ";
        QTest::newRow("comma") << "1, 2";
        QTest::newRow("truth") << "True";
        QTest::newRow("looks like a variant") << "@Invalid()";
        QTest::newRow("non-ASCII") << QString::fromUtf8("fünf");
        QTest::newRow("equals and semicolon") << "a=b;c";
    }
    void valuesRoundTripExactly() {
        QFETCH(QString, value);
        QTemporaryDir dir;
        {
            QtSettingsStore store(dir.path());
            store.saveSetting("Marvenhal", "Quindorel", "Text1", value);
        }
        QtSettingsStore reopened(dir.path());
        QCOMPARE(reopened.getSetting("Marvenhal", "Quindorel", "Text1", "1"), value);
    }

    void writesReachTheDiskOnceTheEventLoopRuns() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.path());
        store.saveSetting("Marvenhal", "Quindorel", "Text1", "7");
        store.saveSetting("Marvenhal", "Quindorel", "Option1", "True");
        QTRY_VERIFY(QFile::exists(dir.filePath("Marvenhal.conf")));
        QtSettingsStore other(dir.path());  // another running copy
        QCOMPARE(other.getSetting("Marvenhal", "Quindorel", "Text1", ""), QStringLiteral("7"));
        QCOMPARE(other.getSetting("Marvenhal", "Quindorel", "Option1", ""), QStringLiteral("True"));
    }

    void heldWritesWaitForTheFlushAndLaterOnesNot() {
        QTemporaryDir dir;
        const QString file = dir.filePath("Marvenhal.conf");
        QtSettingsStore store(dir.path());
        store.saveSetting("Marvenhal", "Quindorel", "Text1", "7");
        store.holdWritesUntilFlush();
        store.saveSetting("Marvenhal", "Quindorel", "Option1", "True");
        QCoreApplication::processEvents();
        QVERIFY(!QFile::exists(file));
        store.flush();
        QCOMPARE(QtSettingsStore(dir.path()).getSetting("Marvenhal", "Quindorel", "Option1", ""),
                 QStringLiteral("True"));
        // Read as bytes: another store in this process would write the
        // pending change itself, since Qt shares one file between them.
        store.saveSetting("Marvenhal", "Quindorel", "Text1", "9");
        const auto text = [&file] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QTRY_VERIFY(text().contains("Text1=9"));
    }

#ifndef Q_OS_WIN
    // It holds the portal's token: the user's alone, under any umask.
    void anExistingFileBecomesTheUsersAlone() {
        QTemporaryDir dir;
        QFile file(dir.filePath("Marvenhal.conf"));
        const mode_t oldMask = umask(0);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Quindorel]\nText1=3\n"));
        file.close();
        QtSettingsStore store(dir.path());
        store.saveSetting("Marvenhal", "Quindorel", "RemoteDesktopToken", "T1");
        QTRY_VERIFY(file.size() > 40);  // bytes: another store would write it
        umask(oldMask);
        QCOMPARE(file.permissions(), kOwnerOnly);
        QCOMPARE(QtSettingsStore(dir.path()).getSetting("Marvenhal", "Quindorel", "Text1", ""),
                 "3");
    }
#endif

    void laterWriteReplacesEarlierOne() {
        QTemporaryDir dir;
        QtSettingsStore store(dir.path());
        store.saveSetting("Marvenhal", "Quindorel", "Text1", "1");
        store.saveSetting("Marvenhal", "Quindorel", "Text1", "12");
        QCOMPARE(store.getSetting("Marvenhal", "Quindorel", "Text1", ""), QStringLiteral("12"));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "SettingsStoreTest.moc"
