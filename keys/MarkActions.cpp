#include "keys/MarkActions.h"

#include "common/ErrorTrap.h"
#include "keys/KeySetFile.h"
#include "keys/MarkedKeys.h"
#include "platform/Platform.h"

namespace quindorel {

MarkActions::MarkActions(Platform& platform, MarkedKeys& marks, KeySetFile& keySetFile)
    : platform_(platform), marks_(marks), keySetFile_(keySetFile) {}

void MarkActions::toggle(int index) {
    if (index < 0 || index >= kKeyCount) {
        return;
    }
    const bool marked = !marks_.marked(index);
    marks_.set(index, marked, marked && MarkedKeys::isPictureKey(index));
    keySetFile_.saveKeySets();
}

void MarkActions::unmarkAll() {
    setAll(false, QStringLiteral("Form1.PushButton6_Click"));
}

void MarkActions::markAll() {
    setAll(true, QStringLiteral("Form1.PushButton5_Click"));
}

void MarkActions::setAll(bool marked, const QString& procedure) {
    ErrorTrap trap(platform_, procedure);
    for (int i = 0; i < kKeyCount; ++i) {
        trap.reach(100);
        trap.run(102, [&] { marks_.set(i, marked, marks_.hidden(i)); });
        if (trap.test(104, [&] { return MarkedKeys::isPictureKey(i); })) {
            trap.run(106, [&] { marks_.set(i, marked, marked); });
        }
    }
    trap.run(108, [&] { keySetFile_.saveKeySets(); });
}

}  // namespace quindorel
