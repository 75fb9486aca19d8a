#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtTest>
#include "QuindorelConfig.h"

#include "Fixture.h"
#include "keys/KeySetFile.h"
#include "keys/KeySetPath.h"
#include "keys/MarkActions.h"

#if QUINDOREL_UNIX
#include <unistd.h>
#endif

using namespace quindorel;
using namespace quindorel::testing;

class KeySetFileTest : public QObject {
    Q_OBJECT
private slots:
    void savedBytes_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a and left shift") << QList<int>{68, 41} << QByteArray("65,160,\r\n");
        QTest::newRow("both shifts, right one first")
            << QList<int>{68, 63} << QByteArray("161,160,\r\n");
        QTest::newRow("both Enter keys") << QList<int>{96, 52} << QByteArray("13,13,\r\n");
        QTest::newRow("last key unmarked") << QList<int>{41, 41} << QByteArray("\r\n");
        QTest::newRow("picture key") << QList<int>{75} << QByteArray("93,\r\n");
        QTest::newRow("Esc, the first key") << QList<int>{0} << QByteArray("27,\r\n");
        QTest::newRow("the mouse buttons, by their virtual keys")
            << QList<int>{108, 30, 104, 106, 105, 107} << QByteArray("87,1,4,2,5,6,\r\n");
        QTest::newRow("no such key") << QList<int>{-1, kKeyCount} << QByteArray("\r\n");
    }
    void savedBytes() {
        QFETCH(QList<int>, clicks);
        QFETCH(QByteArray, bytes);
        Fixture f;
        f.start();
        for (int index : clicks) {
            f.model().toggleKey(index);
        }
        QCOMPARE(f.keySetBytes(), bytes);
        // The hold presses what was just saved.
        QCOMPARE(f.model().keySet(), KeySetFile::split(bytes));
    }

    void allKeysAndReset() {
        Fixture f;
        f.start();
        f.model().markAllKeys();
        QByteArray expected;
        for (const KeyDefinition& key : keyTable()) {
            expected += QByteArray::number(key.code) + ',';
        }
        QCOMPARE(f.keySetBytes(), expected + "\r\n");
        QCOMPARE(expected.split(',').count("13"), 2);
        QVERIFY(f.model().marks().hidden(73));
        f.model().unmarkAllKeys();
        QCOMPARE(f.keySetBytes(), QByteArray("\r\n"));
        QVERIFY(!f.model().marks().hidden(73));
        QVERIFY(f.markedKeys().isEmpty());
    }

    void pictureKeyHidesWhileMarkedByAClick() {
        Fixture f;
        f.start();
        f.model().toggleKey(74);
        QVERIFY(f.model().marks().marked(74));
        QVERIFY(f.model().marks().hidden(74));
        f.model().toggleKey(41);
        f.model().toggleKey(41);
        QVERIFY(!f.model().marks().marked(41));

        // An index outside the keyboard (a stale or forged click) changes
        // nothing and writes nothing.
        const QByteArray before = f.keySetBytes();
        QSignalSpy changes(&f.model().marks(), &MarkedKeys::changed);
        for (int outside : {-1, kKeyCount}) {
            f.model().toggleKey(outside);
        }
        QCOMPARE(changes.count(), 0);
        QCOMPARE(f.keySetBytes(), before);
    }

    void reading_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("marked");
        QTest::addColumn<QStringList>("keySet");
        QTest::newRow("esc and F1")
            << QByteArray("27,112,\r\n") << QList<int>{0, 1} << QStringList{"27", "112", ""};
        QTest::newRow("no final comma")
            << QByteArray("27,112") << QList<int>{0} << QStringList{"27", "112"};
        QTest::newRow("two lines")
            << QByteArray("27,\r\n112,\r\n") << QList<int>{0, 1} << QStringList{"27", "112", ""};
        QTest::newRow("blank before a code")
            << QByteArray(" 27,\r\n") << QList<int>{} << QStringList{" 27", ""};
        QTest::newRow("CR LF alone") << QByteArray("\r\n") << QList<int>{} << QStringList{};
        QTest::newRow("mouse buttons among keys")
            << QByteArray("6,65,2,1,5,4,\r\n") << QList<int>{41, 104, 105, 106, 107, 108}
            << QStringList{"6", "65", "2", "1", "5", "4", ""};
        QTest::newRow("13 marks both Enter keys")
            << QByteArray("13,\r\n") << QList<int>{52, 96} << QStringList{"13", ""};
        QTest::newRow("LF line ends")
            << QByteArray("65,\n66,\n") << QList<int>{41, 57} << QStringList{"65", "66", ""};
        QTest::newRow("NUL bytes and junk")
            << QByteArray("65\0,\xff\xfe,,66,", 11) << QList<int>{57}
            << QStringList{QString::fromLatin1("65\0", 3), QString::fromLatin1("\xff\xfe"), "",
                           "66", ""};
    }
    void reading() {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, marked);
        QFETCH(QStringList, keySet);
        Fixture f;
        f.writeKeySet(content);
        f.start();
        QCOMPARE(f.markedKeys(), marked);
        QCOMPARE(f.model().keySet(), keySet);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void savedPictureKeyComesBackGreenAndVisible() {
        Fixture f;
        f.writeKeySet("91,\r\n");
        f.start();
        QVERIFY(f.model().marks().marked(73));
        QVERIFY(!f.model().marks().hidden(73));
    }

    void missingFileIsSeededFromTheProgramFolder() {
        Fixture f;
        f.writeFile(f.program.filePath("xsettings.txt"), "65,\r\n");
        f.start();
        QCOMPARE(f.markedKeys(), QList<int>({41}));
        QCOMPARE(f.keySetBytes(), QByteArray("65,\r\n"));
    }

    // An installed copy finds its seed in ../share/quindorel; a seed beside
    // the program (a build folder) comes first.
    void seedIsFoundBesideOrInShare_data() {
        QTest::addColumn<QByteArray>("beside");
        QTest::addColumn<QList<int>>("marked");
        QTest::newRow("installed") << QByteArray() << QList<int>{41};
        QTest::newRow("beside first") << QByteArray("66,\r\n") << QList<int>{57};
    }
    void seedIsFoundBesideOrInShare() {
        QFETCH(QByteArray, beside);
        QFETCH(QList<int>, marked);
        Fixture f;
        QDir root(f.program.path());
        QVERIFY(root.mkpath("bin") && root.mkpath("share/quindorel"));
        f.writeFile(root.filePath("share/quindorel/xsettings.txt"), "65,\r\n");
        if (!beside.isEmpty()) {
            f.writeFile(root.filePath("bin/xsettings.txt"), beside);
        }
        f.programFolder = root.filePath("bin");
        f.start();
        QCOMPARE(f.markedKeys(), marked);
    }

    void unreadablePathsAreReported_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<int>>("reportedLines");
        QTest::addColumn<QStringList>("reports");  // the start of each report
        QTest::newRow("no file and no seed")
            << "no seed" << QList<int>{106, 110} << QStringList{"File not found", "File not found"};
        QTest::newRow("a folder at its path")
            << "folder" << QList<int>{110} << QStringList{"Path/File access error"};
    }
    void unreadablePathsAreReported() {
        QFETCH(QString, setup);
        QFETCH(QList<int>, reportedLines);
        QFETCH(QStringList, reports);
        Fixture f;
        if (setup == "no seed") {
            QFile::remove(f.program.filePath("xsettings.txt"));
        } else {
            QVERIFY(QDir(f.temp.path()).mkdir("xsettings.txt"));
        }
        f.start();
        QCOMPARE(f.reportedLines(), reportedLines);
        for (int i = 0; i < reports.size(); ++i) {
            QVERIFY2(f.platform.messages[i].text.startsWith(reports[i]),
                     qPrintable(f.platform.messages[i].text));
        }
        QVERIFY(f.platform.messages[0].text.contains("Form1.ReadKeySets at line"));
        QVERIFY(f.markedKeys().isEmpty());
        QVERIFY(f.model().keySet().isEmpty());
    }

    void oversizedFileIsReportedAndNotRead() {
        Fixture f;
        QByteArray big;
        big.reserve(10 * 1024 * 1024);
        while (big.size() < 10 * 1024 * 1024) {
            big += "65,";
        }
        f.writeKeySet(big);
        f.start();
        QCOMPARE(f.reportedLines(), QList<int>({110}));
        QVERIFY(f.markedKeys().isEmpty());
        QCOMPARE(QFileInfo(f.keySetPath()).size(), big.size());  // left as it was
    }

    void randomBytesNeverCrash() {
        for (int round = 0; round < 20; ++round) {
            Fixture f;
            QByteArray junk(4096, '\0');
            for (char& byte : junk) {
                byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
            }
            f.writeKeySet(junk);
            f.start();
            QVERIFY(f.platform.messages.isEmpty());
        }
    }

    void missingFolderIsReportedAtOpenAndWrite() {
        Fixture f;
        f.start();
        f.platform.messages.clear();
        qputenv("TEMP", f.temp.filePath("no/such/folder").toLocal8Bit());
        f.model().toggleKey(41);
        QCOMPARE(f.reportedLines(), QList<int>({102, 110}));
        QVERIFY(f.platform.messages[0].text.startsWith("Path not found"));
        QVERIFY(f.model().marks().marked(41));  // the screen keeps the change
        QCOMPARE(f.model().keySet(), QStringList({"65", ""}));
    }

    void failedReplaceKeepsTheOldFileAndLeavesNoTemporary() {
        Fixture f;
        f.start();
        QVERIFY(QFile::remove(f.keySetPath()));
        QVERIFY(QDir(f.temp.path()).mkdir("xsettings.txt"));  // cannot be replaced by a file
        f.platform.messages.clear();
        f.model().toggleKey(41);
        QCOMPARE(f.reportedLines(), QList<int>({112}));
        QVERIFY(QFileInfo(f.keySetPath()).isDir());
        QCOMPARE(QDir(f.temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void plantedLinkIsReplacedAndItsTargetUntouched() {
        Fixture f;
        f.start();
        const QString victim = f.program.filePath("victim.txt");
        f.writeFile(victim, "precious");
        QFile::remove(f.keySetPath());
        QVERIFY(QFile::link(victim, f.keySetPath()));
        f.model().toggleKey(41);
        QVERIFY(!QFileInfo(f.keySetPath()).isSymLink());
        QCOMPARE(f.keySetBytes(), QByteArray("65,\r\n"));
        QFile file(victim);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("precious"));
    }

    // A folder that refuses the save: read-only, or too full for the new file.
    void refusingFolderReportsAndKeepsTheOldFile_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QList<int>>("reportedLines");
        QTest::newRow("read-only") << true << QList<int>{102, 110};
        QTest::newRow("full") << false << QList<int>{110};
    }
    void refusingFolderReportsAndKeepsTheOldFile() {
        QFETCH(bool, readOnly);
        QFETCH(QList<int>, reportedLines);
        Fixture f;
        const QString folder = f.temp.filePath("mounted");
        QVERIFY(QDir().mkpath(folder));
        const QString keySet = folder + "/xsettings.txt";
        bool mounted = false;
        if (readOnly) {
            f.writeFile(keySet, "65,\r\n");
            mounted = QProcess::execute("mount", {"--bind", folder, folder}) == 0 &&
                      QProcess::execute("mount", {"-o", "remount,bind,ro", folder}) == 0;
        } else {
            mounted =
                QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=4k", "tmpfs", folder}) == 0;
        }
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {folder}); });
        if (!mounted) {
            QSKIP("needs permission to mount");
        }
        if (!readOnly) {
            f.writeFile(keySet, "65,\r\n");
            f.writeFile(folder + "/filler", QByteArray(64 * 1024, 'x'));  // takes what is left
        }
        qputenv("TEMP", folder.toLocal8Bit());
        f.start();
        QCOMPARE(f.markedKeys(), QList<int>({41}));
        f.platform.messages.clear();
        f.model().unmarkAllKeys();
        QCOMPARE(f.reportedLines(), reportedLines);
        QFile file(keySet);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("65,\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).filter("xsettings.txt."),
                 QStringList());
    }

    void fileOfAnotherUserIsNeitherReadNorWritten() {
#if QUINDOREL_UNIX
        if (::geteuid() != 0) {
            QSKIP("needs root to give a file to another user");
        }
        Fixture f;
        f.writeKeySet("65,\r\n");
        QVERIFY(::chown(QFile::encodeName(f.keySetPath()).constData(), 65534, 65534) == 0);
        f.start();
        QCOMPARE(f.reportedLines(), QList<int>({110}));
        QVERIFY(f.markedKeys().isEmpty());
        f.platform.messages.clear();
        f.model().toggleKey(27);
        QCOMPARE(f.reportedLines(), QList<int>({102, 110}));
        QCOMPARE(f.keySetBytes(), QByteArray("65,\r\n"));
#else
        QSKIP("POSIX only");
#endif
    }

    void withoutTempTheFileGoesToThePrivateCacheFolder() {
#if QUINDOREL_WINDOWS
        // Windows has the user's temporary folder instead.
        qputenv("TEMP", "");
        QCOMPARE(keySetPath(), QDir::toNativeSeparators(QDir::tempPath() + "/xsettings.txt"));
#else
        QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        qputenv("TEMP", "");
        const QString path = keySetPath();
        QCOMPARE(path, cache.filePath("Marvenhal/xsettings.txt"));
        QVERIFY(QFileInfo(cache.filePath("Marvenhal")).isDir());
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(cache.filePath("Marvenhal")).permissions() & others,
                 QFile::Permissions());
        qunsetenv("TEMP");
        QCOMPARE(keySetPath(), path);

        // A cache folder that cannot be made is reported, never passed on.
        qputenv("XDG_CACHE_HOME", "/dev/null/cache");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, keySetPath());
        qunsetenv("XDG_CACHE_HOME");
#endif
    }
};

QTEST_MAIN(KeySetFileTest)
#include "KeySetFileTest.moc"
