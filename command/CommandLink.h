#pragma once
// The client's end of the private channel between copies of the program in
// one user session, in plain C++ so that a command can reach the running copy
// without loading Qt: a local socket in a folder only the user can open on
// Unix, a named pipe on Windows (the running copy's end: command/ChannelEnd.h).
#include <optional>
#include <string>

#include "command/CommandWords.h"
#include "platform/SystemLog.h"

namespace quindorel::commandlink {

// Where the running copy listens, for this user and display (on Windows, this
// user and session): a socket path, or a pipe's name. Empty when
// no private place can be had.
std::string address();

// Sends one verb and returns the reply line without its end; nothing when no
// copy answers within `timeoutMs` (and `log` is told why).
std::optional<std::string> ask(command::Verb verb, const SystemLog& log = {},
                               int timeoutMs = command::kReplyTimeoutMs);

// Prints the running copy's reply as the command's own, and returns the exit
// status it gives.
int printReply(const std::string& line);

// On Windows a program without a console of its own writes to the console
// it was started from, if any; a no-op elsewhere.
void attachParentConsole();

}  // namespace quindorel::commandlink
