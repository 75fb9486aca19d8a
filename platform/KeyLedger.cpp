#include "platform/KeyLedger.h"

#include <algorithm>

namespace quindorel {

namespace {

constexpr std::uint8_t kDown = 1;
constexpr std::uint8_t kRepeat = 2;
constexpr std::uint8_t kModifier = 4;

}  // namespace

std::vector<std::uint8_t> encodeGuardNotes(const std::vector<GuardNote>& notes) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(notes.size() * kGuardNoteSize);
    for (const GuardNote& note : notes) {
        bytes.push_back(static_cast<std::uint8_t>((note.down ? kDown : 0) |
                                                  (note.repeat ? kRepeat : 0) |
                                                  (note.modifier ? kModifier : 0)));
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(note.key >> shift));
        }
    }
    return bytes;
}

void KeyLedger::read(const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        partial_[partialSize_++] = bytes[i];
        if (partialSize_ < kGuardNoteSize) {
            continue;
        }
        partialSize_ = 0;
        const std::uint8_t flags = partial_[0];
        const SystemKey key =
            partial_[1] | partial_[2] << 8 | partial_[3] << 16 | SystemKey{partial_[4]} << 24;
        if ((flags & ~(kDown | kRepeat | kModifier)) != 0) {
            continue;
        }
        const auto known = std::find_if(down_.begin(), down_.end(),
                                        [key](const GuardNote& n) { return n.key == key; });
        if ((flags & kDown) == 0) {
            if (known != down_.end()) {
                down_.erase(known);
            }
        } else if (known == down_.end() && down_.size() < kMaxOwed) {
            // A key pressed again keeps what its first press saw.
            down_.push_back({key, true, (flags & kRepeat) != 0, (flags & kModifier) != 0});
        }
    }
}

std::vector<GuardNote> KeyLedger::owed() const {
    std::vector<GuardNote> owed = down_;
    std::stable_partition(owed.begin(), owed.end(),
                          [](const GuardNote& note) { return !note.modifier; });
    return owed;
}

}  // namespace quindorel
