#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTemporaryFile;

namespace quindorel {

// Replaces a file whole or not at all: the new content goes to a temporary
// file in the same folder, is flushed to disk, and is renamed over the target.
// A symbolic link at the target is replaced itself (its target is never
// written), and on POSIX a target owned by another user is refused. Each step
// throws a RuntimeError on failure and leaves the old file as it was.
class SafeFileWriter {
public:
    explicit SafeFileWriter(const QString& path);
    ~SafeFileWriter();

    void open();
    bool isOpen() const;
    void write(const QByteArray& content);
    // Flushes and renames; without a successful open and write it does nothing.
    void commit();

    // Throws PermissionDenied when `path` exists and belongs to another user.
    static void checkOwnership(const QString& path);

private:
    QString path_;
    std::unique_ptr<QTemporaryFile> temporary_;
    bool written_ = false;
};

}  // namespace quindorel
