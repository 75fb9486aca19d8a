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

// Tells the guard of the keys about to go down, or of the keys just let up,
// as they were sent. Does nothing without a guard.
void note(const std::vector<SystemKey>& keys, bool down);

// The guard's loop on an open pipe, for tests: reads the notes until the pipe
// breaks and returns the key-ups still owed, one for each key down, as
// exactly the key that went down: the other keys in the order they went
// down, then the modifiers in the order they went down.
std::vector<KeyStroke> keyUpsOwed(void* pipe);

}  // namespace quindorel::keyguard
