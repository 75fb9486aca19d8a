#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quindorel {

class MarkedKeys;
class Platform;

// The key set on disk: one line of virtual-key codes, each followed by a
// comma, in key index order, ended by CR LF. Also holds `keySet`, the list the
// hold presses: the line split at every comma (its last element is never a key).
class KeySetFile {
public:
    // Files larger than this are no key set the program wrote; they are not read.
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    KeySetFile(Platform& platform, MarkedKeys& marks, const QString& programFolder);

    // Writes the marked keys to the key-set file, atomically,
    // and makes `keySet` follow them.
    void saveKeySets();
    // Reads the key-set file into `keySet`, copying the default beside the
    // program when there is none; with `load`, marks the keys it names.
    void readKeySets(bool load);

    const QStringList& keySet() const { return keySet_; }

    // Lines joined without their line ends, then split at every comma.
    static QStringList split(const QByteArray& content);

private:
    void markKeys();

    Platform& platform_;
    MarkedKeys& marks_;
    QString programFolder_;
    QStringList keySet_;
};

}  // namespace quindorel
