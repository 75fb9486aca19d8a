#pragma once

#include "platform/win32/WindowsApi.h"

#include <optional>
#include <vector>

#include "platform/NativeDesktop.h"
#include "platform/win32/KeyInputCode.h"

namespace quindorel {

struct KeyEvents {
    // The SendInput records for the strokes that have a key, in order: each
    // carries the key's scan code and, for the extended keys, the
    // extended-key flag. A mouse button's is a mouse record of that button,
    // at the pointer, and it is sent as its virtual key.
    std::vector<INPUT> inputs;
    // One for each stroke: the key it is sent as, or nothing.
    std::vector<std::optional<SystemKey>> keys;
};

// The keyboard layout of this thread, as it is at each question.
const KeyboardLayout& currentKeyboardLayout();

// A key-up that names the key that went down is sent as exactly that key;
// every other stroke is looked up in the keyboard layout of the moment.
KeyEvents keyEvents(const std::vector<KeyStroke>& strokes);

}  // namespace quindorel
