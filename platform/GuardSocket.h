#pragma once

// The program's end of a key guard on a Unix socket, as the Linux guards
// (a fork of the program) have it.

#include <memory>

#include "platform/KeyGuard.h"

namespace quindorel {

// Takes over `socket`: writes never block, and it closes with the link.
std::unique_ptr<GuardLink> socketGuardLink(int socket);

}  // namespace quindorel
