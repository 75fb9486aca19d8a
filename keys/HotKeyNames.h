#pragma once

#include <QString>
#include <optional>

#include "platform/NativeDesktop.h"

namespace quindorel {

// A key with its modifiers as people write it and as the settings keep it:
// "Ctrl+F9", "Pause", "Shift+Keypad 5". The key's name is its spoken
// name on the on-screen keyboard; the modifiers come first, in the order
// Ctrl, Shift, Alt, Win.
QString hotKeyName(const HotKey& key);
// The key a name stands for, any case, modifiers in any order ("Control",
// "Super" and "Meta" too); nothing for anything else, and for a modifier or
// a mouse button on its own, which cannot start anything.
std::optional<HotKey> hotKeyNamed(const QString& name);
// The key of a key press as Qt tells it (Qt::Key, with its modifiers; the
// keypad's keys by Qt::KeypadModifier); nothing for a modifier alone and
// for keys the on-screen keyboard does not have. A shifted sign is read as
// its key on a US layout ("!" as 1).
std::optional<HotKey> hotKeyOfQtKey(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace quindorel
