#pragma once

#include <cstdint>

namespace quindorel {

// The X keysym that stands for a Windows virtual-key code on a US layout, or 0
// when the code has no key on X (mouse buttons, IME process key, unassigned
// codes). Letters give the lower-case keysym, digits the main-row digits,
// keypad codes the keypad keysyms; left and right modifiers stay distinct and
// the generic Shift, Ctrl and Alt codes give the left-hand keys.
std::uint32_t keysymForVirtualKey(std::uint8_t virtualKey);

}  // namespace quindorel
