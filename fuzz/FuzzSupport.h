#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace quindorel::fuzz {

// A broken invariant is a finding: print it and abort, so libFuzzer saves the input.
[[noreturn]] inline void fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail));
    std::abort();
}

inline void expect(bool condition, const char* what, const QString& detail = {}) {
    if (!condition) {
        fail(what, detail);
    }
}

// One application object per fuzzer process, with private TEMP, HOME and
// configuration folders so that no run touches the user's files.
struct FuzzEnvironment {
    QTemporaryDir root;
    QString temp;
    QString programFolder;
    QCoreApplication* application = nullptr;

    FuzzEnvironment() {
        qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
        temp = root.filePath(QStringLiteral("temp"));
        programFolder = root.filePath(QStringLiteral("program"));
        QDir().mkpath(temp);
        QDir().mkpath(programFolder);
        qputenv("TEMP", temp.toLocal8Bit());
        qputenv("HOME", root.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", root.filePath(QStringLiteral("cache")).toLocal8Bit());
        // The program ships an empty key set beside itself.
        writeFile(programFolder + QStringLiteral("/xsettings.txt"), "\r\n");
        static int argc = 1;
        static char name[] = "fuzzer";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }

    QString keySetPath() const { return temp + QStringLiteral("/xsettings.txt"); }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        expect(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write", path);
        file.write(bytes);
    }
};

}  // namespace quindorel::fuzz
