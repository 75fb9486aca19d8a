#pragma once

// The Windows key guard is a second copy of the program, started with a
// private argument and connected by an anonymous pipe. It only waits on the
// pipe: when the pipe breaks while keys or mouse buttons are down, it sends
// their key-ups exactly as the keys went down and lets go of the buttons, and
// ends. It has no window and never polls.

#include <vector>

#include "platform/KeyGuard.h"
#include "platform/SystemLog.h"

namespace quindorel::keyguard {

// The private argument that makes the program the guard.
inline constexpr char kGuardArgument[] = "--quindorel-key-guard";

// In the guard copy, runs the guard and ends the process; in the program
// itself, nothing.
void serveIfGuard(int argc, char** argv);

// Starts the guard copy for this process; not connected when it cannot be
// started (and `log` is told why).
KeyGuard start(const SystemLog& log = {});

// The program's end of a guard on the write end of a pipe (a HANDLE), which
// it takes over.
KeyGuard onPipe(void* writeEnd);

// The guard's loop on an open pipe: reads the ledger until the pipe breaks
// and gives the key-ups it owes.
std::vector<KeyStroke> keyUpsOwed(void* pipe);

}  // namespace quindorel::keyguard
