#include "command/CommandLink.h"

#include "QuindorelConfig.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#if QUINDOREL_WINDOWS
#include "platform/win32/OwnPipe.h"
#include "platform/win32/WindowsApi.h"
#else
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#endif

namespace quindorel::commandlink {

namespace {

void note(const SystemLog& log, LogLevel level, const std::string& line) {
    log.write(LogTopic::Command, level, line);
}

void noAnswer(const SystemLog& log, command::Verb verb) {
    note(log, LogLevel::Debug,
         "no answer to \"" + std::string(command::verbName(verb)) + "\" from the running copy");
}

}  // namespace

int printNoAnswer() {
    attachParentConsole();
    std::fputs(
        "quindorel: the running copy took the command but ended or stopped answering "
        "before it replied; no other copy was started\n",
        stderr);
    return command::exitcode::kNotRunning;
}

int printReply(const std::string& line) {
    attachParentConsole();
    const command::Reply reply = command::readReply(line);
    std::fprintf(command::printedAsError(reply.status) ? stderr : stdout, "%s\n",
                 reply.text.c_str());
    return reply.status;
}

#if QUINDOREL_WINDOWS

void attachParentConsole() {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

std::string address() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    char user[257] = {};
    DWORD length = sizeof user;
    if (!GetUserNameA(user, &length)) {
        return {};
    }
    std::string name = "quindorel-";
    for (const char* c = user; *c != '\0'; ++c) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        name += std::isalnum(static_cast<unsigned char>(lower)) ? lower : '_';
    }
    return name + "-" + std::to_string(session);
}

std::optional<std::string> ask(const command::Request& asked, const SystemLog& log, int timeoutMs,
                               bool* reached) {
    if (reached != nullptr) {
        *reached = false;
    }
    const std::string name = address();
    if (name.empty()) {
        note(log, LogLevel::Warning, "no name for the command pipe: GetUserNameA failed");
        return std::nullopt;
    }
    const std::string path = win32::pipePath(name);
    HANDLE pipe = nullptr;
    // A start may wait for the desktop's dialog as long as the user takes
    // (no deadline for the reply); a busy pipe is waited for at most this.
    const bool noLimit = timeoutMs < 0;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(noLimit ? command::kReplyTimeoutMs : timeoutMs);
    while (true) {
        unsigned long error = 0;
        pipe = win32::openPipe(path, &error);
        if (pipe != nullptr) {
            break;
        }
        // Another client has the pipe's one free instance: wait for the next.
        if (error != ERROR_PIPE_BUSY || std::chrono::steady_clock::now() > deadline ||
            !WaitNamedPipeA(path.c_str(), 200)) {
            // ERROR_FILE_NOT_FOUND (2): no copy runs, the usual case.
            note(log, error == ERROR_FILE_NOT_FOUND ? LogLevel::Debug : LogLevel::Warning,
                 "cannot open the command pipe " + path + " (error " + std::to_string(error) + ")");
            return std::nullopt;
        }
    }
    // Any account may create a pipe of this name first: only a server of
    // this user's hears the command, and is believed.
    std::string why;
    if (!win32::servedBy(pipe, win32::processUser(), &why)) {
        note(log, LogLevel::Warning,
             "the command pipe " + path +
                 " is not served by this user's program, nothing sent: " + why);
        CloseHandle(pipe);
        return std::nullopt;
    }
    if (reached != nullptr) {
        *reached = true;
    }
    // A copy that never answers holds the command no longer than the deadline.
    const auto left = [&deadline, noLimit] {
        if (noLimit) {
            return -1L;
        }
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     deadline - std::chrono::steady_clock::now())
                                     .count());
    };
    std::string request = command::requestLine(asked);
    std::string reply;
    if (win32::pipeTransfer(pipe, true, request.data(), static_cast<DWORD>(request.size()),
                            left()) != static_cast<long>(request.size())) {
        note(log, LogLevel::Warning, "cannot write to the command pipe " + path);
    } else {
        char buffer[256];
        long got = 0;
        while (reply.find('\n') == std::string::npos && reply.size() < command::kMaxReply &&
               (got = win32::pipeTransfer(pipe, false, buffer, sizeof buffer, left())) > 0) {
            reply.append(buffer, static_cast<std::size_t>(got));
        }
    }
    CloseHandle(pipe);
    const std::size_t end = reply.find('\n');
    if (end == std::string::npos) {
        noAnswer(log, asked.verb);
        return std::nullopt;
    }
    return reply.substr(0, end);
}

#else

namespace {

bool privateFolder(const std::string& path, bool create) {
    if (create) {
        ::mkdir(path.c_str(), 0700);
    }
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Waits for the socket to be ready for `events` until the deadline, or for
// as long as it takes when there is none.
bool ready(int fd, short events, std::optional<std::chrono::steady_clock::time_point> deadline) {
    int wait = -1;
    if (deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            *deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        wait = static_cast<int>(left.count());
    }
    pollfd entry{fd, events, 0};
    int got = 0;
    while ((got = ::poll(&entry, 1, wait)) < 0 && errno == EINTR) {
    }
    return got == 1;
}

}  // namespace

void attachParentConsole() {}

std::string address() {
    std::string folder = environment("XDG_RUNTIME_DIR");
    if (folder.empty() || !privateFolder(folder, false)) {
        std::string temp = environment("TMPDIR");
        folder = (temp.empty() ? std::string("/tmp") : temp) + "/quindorel-" +
                 std::to_string(::getuid());
        if (!privateFolder(folder, true)) {
            return {};
        }
    }
    // One running copy per display.
    std::string display = environment("DISPLAY");
    if (display.empty()) {
        display = environment("WAYLAND_DISPLAY");
    }
    std::string safe;
    for (const char c : display.substr(0, 40)) {
        safe += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return folder + "/quindorel-" + safe + ".socket";
}

std::optional<std::string> ask(const command::Request& asked, const SystemLog& log, int timeoutMs,
                               bool* reached) {
    if (reached != nullptr) {
        *reached = false;
    }
    const std::string path = address();
    sockaddr_un where{};
    if (path.empty() || path.size() >= sizeof where.sun_path) {
        note(log, LogLevel::Warning,
             path.empty() ? "no private folder for the command socket"
                          : "the command socket's path is too long: " + path);
        return std::nullopt;
    }
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        note(log, LogLevel::Warning, std::string("cannot make a socket: ") + std::strerror(errno));
        return std::nullopt;
    }
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (timeoutMs >= 0) {
        deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    }
    std::string reply;
    // A local connect does not wait: it succeeds, or nobody listens.
    const std::string request = command::requestLine(asked);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        // No copy runs (no socket), or a killed one left its socket: the usual cases.
        const bool usual = errno == ENOENT || errno == ECONNREFUSED;
        note(log, usual ? LogLevel::Debug : LogLevel::Warning,
             "cannot connect to " + path + ": " + std::strerror(errno));
    } else if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
               static_cast<ssize_t>(request.size())) {
        note(log, LogLevel::Warning, "cannot send to " + path + ": " + std::strerror(errno));
    } else {
        if (reached != nullptr) {
            *reached = true;
        }
        char buffer[256];
        while (reply.find('\n') == std::string::npos && reply.size() < command::kMaxReply &&
               ready(fd, POLLIN, deadline)) {
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            reply.append(buffer, static_cast<std::size_t>(got));
        }
        if (reply.find('\n') == std::string::npos) {
            noAnswer(log, asked.verb);
        }
    }
    ::close(fd);
    const std::size_t end = reply.find('\n');
    if (end == std::string::npos) {
        return std::nullopt;
    }
    return reply.substr(0, end);
}

#endif

}  // namespace quindorel::commandlink
