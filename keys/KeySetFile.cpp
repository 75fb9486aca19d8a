#include "keys/KeySetFile.h"

#include "QuindorelConfig.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "common/Conversions.h"
#include "common/ErrorTrap.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "keys/KeySetPath.h"
#include "keys/MarkedKeys.h"
#include "keys/SafeFileWriter.h"
#include "platform/Platform.h"

#if QUINDOREL_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quindorel {

KeySetFile::KeySetFile(Platform& platform, MarkedKeys& marks, const QString& programFolder)
    : platform_(platform), marks_(marks), programFolder_(programFolder) {}

QStringList KeySetFile::split(const QByteArray& content) {
    QByteArray joined = content;
    joined.replace('\r', QByteArray()).replace('\n', QByteArray());
    if (joined.isEmpty()) {
        return {};
    }
    return QString::fromLatin1(joined).split(QLatin1Char(','));
}

void KeySetFile::saveKeySets() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.SaveKeySets"));
    std::unique_ptr<SafeFileWriter> file;
    trap.run(100, [&] { file = std::make_unique<SafeFileWriter>(keySetPath()); });
    trap.run(102, [&] {
        if (file) {
            file->open();
        }
    });
    QByteArray line;
    trap.run(104, [&] { line = marks_.line(); });
    trap.run(110, [&] {
        if (!file) {
            throw RuntimeError(RuntimeError::Code::BadFileNameOrNumber);
        }
        file->write(line + "\r\n");
    });
    trap.run(112, [&] {
        if (file) {
            file->commit();
        }
    });
    // The hold presses what the screen shows: the line just written, read back.
    setKeySet(split(line));
}

void KeySetFile::setKeySet(QStringList keySet) {
    keySet_ = std::move(keySet);
    codes_.clear();
    // The element after the last comma is never a key.
    for (qsizetype i = 0; i + 1 < keySet_.size(); ++i) {
        Code code;
        try {
            code.key = convert::toByte(convert::toInteger16(keySet_.at(i).trimmed()));
        } catch (const RuntimeError& error) {
            code.error = error;
        }
        codes_.push_back(std::move(code));
    }
}

namespace {

// Opens the key-set file for reading. Whatever else may stand at its path (a
// FIFO or a device would block the open or the read for good, a folder reads
// as nothing) is refused; the open itself never waits.
void openRegularFile(QFile& file, const QString& path) {
    const auto refuse = [&] {
        throw RuntimeError(fileExists(path) ? RuntimeError::Code::PermissionDenied
                                            : RuntimeError::Code::FileNotFound,
                           path);
    };
    const auto notAFile = [&] {
        throw RuntimeError(RuntimeError::Code::PathFileAccessError,
                           path + QStringLiteral(" is not a file"));
    };
#if QUINDOREL_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        refuse();
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        notAFile();
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        refuse();
    }
#else
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        notAFile();
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse();
    }
#endif
}

}  // namespace

void KeySetFile::readKeySets() {
    ErrorTrap trap(platform_, QStringLiteral("Form1.ReadKeySets"));
    QString path;
    trap.run(102, [&] { path = keySetPath(); });
    if (trap.test(104, [&] { return !fileExists(path); })) {
        trap.run(106, [&] {
            const QString seed = seedKeySetPath(programFolder_);
            if (!fileExists(seed)) {
                throw RuntimeError(RuntimeError::Code::FileNotFound, seed);
            }
            if (!QFile::copy(seed, path)) {
                throw RuntimeError(RuntimeError::Code::PathFileAccessError, path);
            }
        });
    }
    QFile file(path);
    bool opened = false;
    trap.run(110, [&] {
        SafeFileWriter::checkOwnership(path);
        openRegularFile(file, path);
        if (file.size() > kMaxFileSize) {
            file.close();
            throw RuntimeError(RuntimeError::Code::PathFileAccessError,
                               path + QStringLiteral(" is too large to be a key set"));
        }
        opened = true;
    });
    QByteArray content;
    trap.run(114, [&] {
        if (opened) {
            content = file.read(kMaxFileSize);
        }
    });
    trap.run(118, [&] { file.close(); });
    trap.run(120, [&] { setKeySet(split(content)); });
    trap.run(124, [&] { markKeys(); });
}

void KeySetFile::markKeys() {
    // Each element is compared with every key's code exactly; a code two keys
    // share (13) marks both. A table keeps this linear in the element count.
    QHash<QString, QList<int>> byCode;
    for (int i = 0; i < kKeyCount; ++i) {
        byCode[QString::number(keyTable()[std::size_t(i)].code)].append(i);
    }
    for (qsizetype j = 0; j + 1 < keySet_.size(); ++j) {
        const auto found = byCode.constFind(keySet_.at(j));
        if (found != byCode.constEnd()) {
            for (const int index : *found) {
                marks_.set(index, true, marks_.hidden(index));
            }
        }
    }
}

}  // namespace quindorel
