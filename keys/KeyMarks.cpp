#include "keys/KeyMarks.h"

#include "common/ErrorTrap.h"
#include "keys/KeyButton.h"
#include "keys/KeySetFile.h"
#include "platform/Platform.h"

namespace quindorel {

namespace {

bool isPictureKey(const KeyButton* key) {
    return !key->toolTip().isEmpty();
}

}  // namespace

KeyMarks::KeyMarks(Platform& platform, const std::array<KeyButton*, kKeyCount>& keys,
                   KeySetFile& keySetFile)
    : platform_(platform), keys_(keys), keySetFile_(keySetFile) {}

void KeyMarks::toggle(int index) {
    if (index < 0 || index >= kKeyCount) {
        return;
    }
    KeyButton* key = keys_[static_cast<std::size_t>(index)];
    if (key->backColor() == KeyButton::kUnmarked) {
        key->setBackColor(KeyButton::kMarked);
        if (isPictureKey(key)) {
            key->setVisible(false);
        }
    } else {
        key->setBackColor(KeyButton::kUnmarked);
        if (isPictureKey(key)) {
            key->setVisible(true);
        }
    }
    keySetFile_.saveKeySets();
}

void KeyMarks::unmarkAll() {
    setAll(false, QStringLiteral("Form1.PushButton6_Click"));
}

void KeyMarks::markAll() {
    setAll(true, QStringLiteral("Form1.PushButton5_Click"));
}

void KeyMarks::setAll(bool marked, const QString& procedure) {
    ErrorTrap trap(platform_, procedure);
    for (int i = 0; i <= 103; ++i) {
        trap.reach(100);
        KeyButton* key = keys_[static_cast<std::size_t>(i)];
        trap.run(102,
                 [&] { key->setBackColor(marked ? KeyButton::kMarked : KeyButton::kUnmarked); });
        if (trap.test(104, [&] { return isPictureKey(key); })) {
            trap.run(106, [&] { key->setVisible(!marked); });
        }
    }
    trap.run(108, [&] { keySetFile_.saveKeySets(); });
}

}  // namespace quindorel
