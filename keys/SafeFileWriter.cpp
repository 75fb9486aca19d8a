#include "keys/SafeFileWriter.h"

#include "QuindorelConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#include "common/RuntimeError.h"
#include "keys/KeysLog.h"

#if QUINDOREL_UNIX
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace quindorel {

namespace {

RuntimeError::Code codeFor(QFileDevice::FileError error, const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        return RuntimeError::Code::PathNotFound;
    }
    switch (error) {
        case QFileDevice::PermissionsError:
            return RuntimeError::Code::PermissionDenied;
        case QFileDevice::ResourceError:
            return RuntimeError::Code::DiskFull;
        case QFileDevice::WriteError:
            return RuntimeError::Code::DeviceIoError;
        default:
            return RuntimeError::Code::PathFileAccessError;
    }
}

}  // namespace

SafeFileWriter::SafeFileWriter(const QString& path) : path_(path) {}
SafeFileWriter::~SafeFileWriter() = default;

void SafeFileWriter::checkOwnership(const QString& path) {
#if QUINDOREL_UNIX
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid != ::geteuid()) {
        throw RuntimeError(RuntimeError::Code::PermissionDenied,
                           path + QStringLiteral(" belongs to another user"));
    }
#else
    Q_UNUSED(path);
#endif
}

void SafeFileWriter::open() {
    checkOwnership(path_);
    const QString folder = QFileInfo(path_).absolutePath();
    auto temporary = std::make_unique<QTemporaryFile>(path_ + QStringLiteral(".XXXXXX"));
    if (!temporary->open()) {
        qCWarning(lcKeys, "cannot make %s: %s", qPrintable(temporary->fileTemplate()),
                  qPrintable(temporary->errorString()));
        throw RuntimeError(codeFor(temporary->error(), folder), path_);
    }
    temporary_ = std::move(temporary);
}

bool SafeFileWriter::isOpen() const {
    return temporary_ && temporary_->isOpen();
}

void SafeFileWriter::write(const QByteArray& content) {
    if (!isOpen()) {
        throw RuntimeError(RuntimeError::Code::BadFileNameOrNumber, path_);
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (temporary_->write(content) != content.size() || !temporary_->flush()) {
        qCWarning(lcKeys, "cannot write %s: %s", qPrintable(temporary_->fileName()),
                  qPrintable(temporary_->errorString()));
        throw RuntimeError(codeFor(temporary_->error(), folder), path_);
    }
#if QUINDOREL_UNIX
    if (::fsync(temporary_->handle()) != 0) {
        qCWarning(lcKeys, "cannot sync %s: %s", qPrintable(temporary_->fileName()),
                  std::strerror(errno));
        throw RuntimeError(RuntimeError::Code::DeviceIoError, path_);
    }
#endif
    written_ = true;
}

void SafeFileWriter::commit() {
    if (!isOpen() || !written_) {
        return;
    }
    const QString temporaryPath = temporary_->fileName();
    // QTemporaryFile::close() keeps the file open; only its end closes it,
    // and Windows renames no open file.
    temporary_->setAutoRemove(false);
    temporary_.reset();
    std::error_code error;
    // Replaces an existing file (or a link itself) in one step on POSIX and Windows.
    std::filesystem::rename(std::filesystem::path(temporaryPath.toStdU16String()),
                            std::filesystem::path(path_.toStdU16String()), error);
    if (error) {
        qCWarning(lcKeys, "cannot rename %s to %s: %s", qPrintable(temporaryPath),
                  qPrintable(path_), error.message().c_str());
        QFile::remove(temporaryPath);
        throw RuntimeError(RuntimeError::Code::PathFileAccessError,
                           path_ + QStringLiteral(": ") + QString::fromStdString(error.message()));
    }
}

}  // namespace quindorel
