#pragma once

// A named pipe that only its user's own programs serve and reach. Any
// account can compute a pipe's name and create the pipe first, and a pipe's
// server may act as its client at the level the client allows: the server
// takes the name as its first instance, and the client allows identification
// alone and trusts only a server that runs as the same user.

#include <string>
#include <vector>

namespace quindorel::win32 {

// The pipe's full path, "\\.\pipe\<name>".
std::string pipePath(const std::string& name);

// Creates the pipe's first instance, open to this user alone: a HANDLE, or
// nullptr when the name is had already (`error` the system's error code).
void* claimPipeName(const std::string& path, unsigned long* error);

// Opens the pipe as its client, letting the server identify this user but
// never act as it: a HANDLE for pipeTransfer, or nullptr (`error` the
// system's error code).
void* openPipe(const std::string& path, unsigned long* error);

// Reads (or, with `write`, writes) up to `size` bytes on a pipe from
// openPipe, waiting at most `timeoutMs` (a negative one: until the pipe
// breaks): the count moved, or -1 when nothing moved in time or the pipe
// broke. A server that never answers holds no one past a deadline.
long pipeTransfer(void* pipe, bool write, char* data, unsigned long size, long timeoutMs);

// This process's user (the security identifier of its token); empty when it
// cannot be read.
std::vector<unsigned char> processUser();

// Whether the process serving the pipe runs as `user`; when not, or when it
// cannot be told, `why` says what was found.
bool servedBy(void* pipe, const std::vector<unsigned char>& user, std::string* why);

}  // namespace quindorel::win32
