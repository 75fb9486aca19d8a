#pragma once

// How one Windows virtual-key code goes into SendInput: the virtual key, the
// scan code that a real keyboard would report for it and whether it carries
// the E0 prefix. Plain C++, so that the decision can be tested without a
// Windows system.

#include <cstdint>

#include "platform/NativeDesktop.h"

namespace quindorel {

struct KeyInputCode {
    std::uint8_t virtualKey = 0;
    std::uint8_t scanCode = 0;  // 0: no such key
    bool extended = false;
    bool operator==(const KeyInputCode&) const = default;
};

// What the keyboard layout of the moment answers (MapVirtualKey); 0 when it
// knows nothing. Some systems put the E0 prefix into the high byte of a scan
// code, which is ignored: the extended flag comes from our own table.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // MAPVK_VK_TO_VSC
    virtual unsigned scanCodeOf(std::uint8_t virtualKey) const = 0;
    // MAPVK_VSC_TO_VK_EX
    virtual unsigned virtualKeyAt(std::uint8_t scanCode) const = 0;
};

// Letters, digits and named keys are the key that types or is them in the
// layout: the virtual key as given, with the layout's scan code (the US one
// of our table when the layout names none). The punctuation keys are marked
// on a US keyboard picture, so they are the key at that place: the US scan
// code, sent with the virtual key the layout gives that place.
KeyInputCode keyInputCode(std::uint8_t virtualKey, const KeyboardLayout& layout);

// A key as it went down, packed for the program to keep and give back on its
// key-up: the virtual key, the scan code and the extended flag.
constexpr SystemKey toSystemKey(const KeyInputCode& code) {
    return code.virtualKey | (SystemKey{code.scanCode} << 8) | (SystemKey{code.extended} << 16);
}

constexpr KeyInputCode fromSystemKey(SystemKey key) {
    return {static_cast<std::uint8_t>(key & 0xFFu), static_cast<std::uint8_t>((key >> 8) & 0xFFu),
            ((key >> 16) & 1u) != 0};
}

}  // namespace quindorel
