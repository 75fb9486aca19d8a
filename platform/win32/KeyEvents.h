#pragma once

#include "platform/win32/WindowsApi.h"

#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel {

// The SendInput records for the strokes, in order: each carries the key's
// scan code and, for the extended keys, the extended-key flag. Codes without
// a key on this system are left out.
std::vector<INPUT> keyEventInputs(const std::vector<KeyStroke>& strokes);

}  // namespace quindorel
