#pragma once

// The X server keeps keys and mouse buttons that came through XTEST down when
// their client dies. The X11 key guard is a fork of the program on a socket;
// it lets go of what is still down with key-ups and button releases on a
// display connection of its own, and gives those keys back their auto-repeat.

#include "platform/KeyGuard.h"
#include "platform/SystemLog.h"

namespace quindorel {

// Forks the guard. Call it while the process has a single thread (before Qt
// starts one); the guard itself never comes back. Not connected when the
// fork is refused (and `log` is told why).
KeyGuard startX11KeyGuard(const SystemLog& log = {});

// The guard's own side: keeps the ledger from `socket` until it closes, then
// lets go of whatever is still down on `displayName` (null: DISPLAY).
void serveX11KeyGuard(int socket, const char* displayName);

}  // namespace quindorel
