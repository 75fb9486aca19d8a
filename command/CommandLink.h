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

// Sends one request and returns the reply line without its end; nothing when no
// copy answers within `timeoutMs` (and `log` is told why). A negative
// timeout waits for as long as the copy keeps the channel open. `reached`,
// if given, tells whether a copy took the request at all: one that did and
// gave no answer is alive, and no second copy should start in its place.
std::optional<std::string> ask(const command::Request& asked, const SystemLog& log = {},
                               int timeoutMs = command::kReplyTimeoutMs, bool* reached = nullptr);

// Says on standard error that the running copy took the command but gave no
// answer, and returns the exit status for it.
int printNoAnswer();

// Prints the running copy's reply as the command's own, and returns the exit
// status it gives.
int printReply(const std::string& line);

// On Windows a program without a console of its own writes to the console
// it was started from, if any; a no-op elsewhere.
void attachParentConsole();

}  // namespace quindorel::commandlink
