#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/RuntimeError.h"

namespace quindorel {

class MarkedKeys;
class Platform;

// The key set on disk: one line of virtual-key codes, each followed by a
// comma, in key index order, ended by CR LF. Also holds `keySet`, the line
// split at every comma (its last element is never a key), and `codes`, what
// the hold presses: each element but the last, converted once.
class KeySetFile {
public:
    // Files larger than this are no key set the program wrote; they are not read.
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    KeySetFile(Platform& platform, MarkedKeys& marks, const QString& programFolder);

    // Writes the marked keys to the key-set file, atomically,
    // and makes `keySet` follow them.
    void saveKeySets();
    // Reads the key-set file into `keySet`, copying the default beside the
    // program when there is none, and marks the keys it names.
    void readKeySets();

    // One element of the key set as the hold uses it: its key code, or the
    // error its conversion gave, which each pass reports again.
    struct Code {
        std::uint8_t key = 0;
        std::optional<RuntimeError> error;
    };

    const QStringList& keySet() const { return keySet_; }
    const std::vector<Code>& codes() const { return codes_; }

    // Lines joined without their line ends, then split at every comma.
    static QStringList split(const QByteArray& content);

private:
    void setKeySet(QStringList keySet);
    void markKeys();

    Platform& platform_;
    MarkedKeys& marks_;
    QString programFolder_;
    QStringList keySet_;
    std::vector<Code> codes_;
};

}  // namespace quindorel
