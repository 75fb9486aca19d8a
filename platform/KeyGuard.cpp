#include "platform/KeyGuard.h"

#include "platform/KeyLedger.h"

namespace quindorel {

void KeyGuard::tell(const std::vector<GuardNote>& notes) {
    if (!link_ || notes.empty()) {
        return;
    }
    if (!link_->write(encodeGuardNotes(notes))) {
        link_.reset();
    }
}

void KeyGuard::sendTold(const std::vector<GuardNote>& notes, const std::function<void()>& send) {
    std::vector<GuardNote> downs;
    std::vector<GuardNote> ups;
    for (const GuardNote& note : notes) {
        (note.down ? downs : ups).push_back(note);
    }
    tell(downs);
    send();
    tell(ups);
}

}  // namespace quindorel
