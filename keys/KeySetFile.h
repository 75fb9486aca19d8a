#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

#include "keys/KeyTable.h"

namespace quindorel {

class KeyButton;
class Platform;

// The key set on disk: one line of virtual-key codes, each followed by a
// comma, in key index order, ended by CR LF. Also holds `keySet`, the list the
// hold presses: the line split at every comma (its last element is never a key).
class KeySetFile {
public:
    // Files larger than this are no key set the program wrote; they are not read.
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    KeySetFile(Platform& platform, const std::array<KeyButton*, kKeyCount>& keys,
               const QString& programFolder);

    // Writes the marked keys (the green ones) to the key-set file, atomically,
    // and makes `keySet` follow them.
    void saveKeySets();
    // Reads the key-set file into `keySet`, copying the default beside the
    // program when there is none; with `load`, marks the keys it names.
    void readKeySets(bool load);

    const QStringList& keySet() const { return keySet_; }

    // The file's content for the marks on screen.
    static QByteArray contentFor(const std::array<KeyButton*, kKeyCount>& keys);
    // Lines joined without their line ends, then split at every comma.
    static QStringList split(const QByteArray& content);

private:
    void markKeys();

    Platform& platform_;
    const std::array<KeyButton*, kKeyCount>& keys_;
    QString programFolder_;
    QStringList keySet_;
};

}  // namespace quindorel
