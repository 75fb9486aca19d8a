#pragma once

// How one Windows virtual-key code goes into SendInput: the scan code that a
// real keyboard would report for it and whether it carries the E0 prefix.
// Plain C++, so that the decision can be tested without a Windows system.

#include <cstdint>

namespace quindorel {

struct KeyInputCode {
    std::uint8_t scanCode = 0;
    bool extended = false;
    bool operator==(const KeyInputCode&) const = default;
};

// `layoutScanCode` is what the keyboard layout says for the key
// (MapVirtualKey with MAPVK_VK_TO_VSC); some systems put the E0 prefix into
// the high byte, which is ignored here: the extended flag comes from our own
// table. When the layout knows no scan code, the US scan code of our table is
// used. A scan code of 0 in the result means "no such key".
KeyInputCode keyInputCode(std::uint8_t virtualKey, unsigned layoutScanCode);

// True for the keys that sit behind the E0 prefix on a PC keyboard.
bool isExtendedKey(std::uint8_t virtualKey);

}  // namespace quindorel
