#pragma once

#include <QByteArray>
#include <QObject>
#include <array>

#include "keys/KeyTable.h"

namespace quindorel {

// The user's marks, by key index: the record the key-set file is written
// from and the keyboard on screen is painted from. A picture key (one with a
// tool tip) hides while a click has marked it; a mark read from the file
// leaves it shown.
class MarkedKeys : public QObject {
    Q_OBJECT
public:
    bool marked(int index) const { return marked_[slot(index)]; }
    bool hidden(int index) const { return hidden_[slot(index)]; }

    void set(int index, bool marked, bool hidden) {
        marked_[slot(index)] = marked;
        hidden_[slot(index)] = hidden;
        emit changed(index);
    }

    static bool isPictureKey(int index) { return *keyTable()[slot(index)].toolTip != '\0'; }

    // The key-set line for these marks: each marked key's code and a comma, in
    // index order, without the line end.
    QByteArray line() const {
        QByteArray content;
        for (int i = 0; i < kKeyCount; ++i) {
            if (marked(i)) {
                content += QByteArray::number(keyTable()[slot(i)].code);
                content += ',';
            }
        }
        return content;
    }

signals:
    // With a key's index, after every change of its mark or visibility.
    void changed(int index);

private:
    static std::size_t slot(int index) { return static_cast<std::size_t>(index); }

    std::array<bool, kKeyCount> marked_{};
    std::array<bool, kKeyCount> hidden_{};
};

}  // namespace quindorel
