#pragma once

// The key guard of Linux: a fork of the program on a Unix socket. Each
// system the program sends to (X11, Wayland) lets go of its own keys.

#include <functional>
#include <memory>

#include "platform/KeyGuard.h"
#include "platform/SystemLog.h"

namespace quindorel {

// Takes over `socket`: writes never block, and it closes with the link.
std::unique_ptr<GuardLink> socketGuardLink(int socket);

// What the guard does with the notes still owed once the program has gone.
using LetGo = std::function<void(const std::vector<GuardNote>& owed)>;

// Forks the guard. Call it while the process has a single thread (before Qt
// starts one); the guard itself never comes back. Not connected when the
// fork is refused (and `log` is told why).
KeyGuard startSocketGuard(const SystemLog& log, LetGo letGo);

// The guard's own side: keeps the ledger from `socket` until it closes, then
// hands what is still owed to `letGo`.
void serveSocketGuard(int socket, const LetGo& letGo);

}  // namespace quindorel
