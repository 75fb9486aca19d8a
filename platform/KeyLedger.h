#pragma once

// What the key guard owes, kept from the notes that come over its link. Plain
// C++, shared by the X11 and Windows guards.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/KeyGuard.h"

namespace quindorel {

// On the link each note is five bytes: flags (1 down, 2 repeat, 4 modifier),
// then the key, little-endian. A note with any other flag is not ours and is
// skipped.
inline constexpr std::size_t kGuardNoteSize = 5;
std::vector<std::uint8_t> encodeGuardNotes(const std::vector<GuardNote>& notes);

class KeyLedger {
public:
    // More than any keyboard has: notes beyond it are garbage, and a ledger
    // fed garbage must stay small.
    static constexpr std::size_t kMaxOwed = 512;

    // Bytes as they come; a note split between two reads waits for its end.
    void read(const std::uint8_t* bytes, std::size_t size);

    // The key-down note of every key still down, once however often it went
    // down, in the order to let go of them: as a hand does, so that the other
    // keys come up under the modifiers they went down with, the other keys in
    // the order they went down, then the modifiers in that order.
    std::vector<GuardNote> owed() const;

private:
    std::vector<GuardNote> down_;  // in the order the keys went down
    std::array<std::uint8_t, kGuardNoteSize> partial_{};
    std::size_t partialSize_ = 0;
};

}  // namespace quindorel
