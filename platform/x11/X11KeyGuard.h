#pragma once

// The X server keeps keys and mouse buttons that came through XTEST down when
// their client dies. The key guard (GuardSocket.h) lets go of what is still
// down with key-ups and button releases on a display connection of its own,
// and gives those keys back their auto-repeat.

#include <vector>

#include "platform/KeyGuard.h"

namespace quindorel {

// The X11 keys and buttons of `owed` let go of, on `displayName` (null:
// DISPLAY); notes of other systems are passed over.
void letGoOnX11(const std::vector<GuardNote>& owed, const char* displayName = nullptr);

}  // namespace quindorel
