#pragma once

// No key left stuck when the program is killed or crashes. At start the
// program starts a second copy of itself with a private argument, connected
// by an anonymous pipe, and tells it of every key that a hold puts down or
// lets up. The copy only waits on the pipe: when the pipe breaks (the program
// ended, however) while keys are down, it sends their key-ups and ends; with
// no key down it simply ends. It has no window and never polls.

#include <optional>
#include <vector>

#include "platform/NativeDesktop.h"

namespace quindorel::keyguard {

// The private argument that makes the program the guard.
inline constexpr char kGuardArgument[] = "--quindorel-key-guard";

// First thing in main: in the guard copy, runs the guard and gives its exit
// status; in the program itself, nothing.
std::optional<int> runIfGuard(int argc, char** argv);

// Starts the guard copy for this process. When it cannot be started, the
// program runs on without one and says nothing.
void start();

// Tells the guard of the key-downs about to be sent, or of the key-ups just
// sent. Does nothing without a guard.
void note(const std::vector<KeyStroke>& strokes);

// The guard's loop on an open pipe, for tests: reads the notes until the pipe
// breaks and returns the key-ups still owed, in the order the keys went down.
std::vector<KeyStroke> keyUpsOwed(void* pipe);

}  // namespace quindorel::keyguard
