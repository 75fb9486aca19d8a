#include "platform/GuardSocket.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "platform/KeyLedger.h"

namespace quindorel {

namespace {

class SocketLink : public GuardLink {
public:
    explicit SocketLink(int socket) : socket_(socket) {}
    SocketLink(const SocketLink&) = delete;
    SocketLink& operator=(const SocketLink&) = delete;
    ~SocketLink() override { ::close(socket_); }

    bool write(const std::vector<std::uint8_t>& bytes) override {
        // Never blocks: a guard that stopped reading must not hold up a hold.
        ssize_t sent = -1;
        do {
            sent = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        } while (sent < 0 && errno == EINTR);
        return sent == static_cast<ssize_t>(bytes.size());
    }

private:
    int socket_;
};

}  // namespace

std::unique_ptr<GuardLink> socketGuardLink(int socket) {
    return std::make_unique<SocketLink>(socket);
}

KeyGuard startSocketGuard(const SystemLog& log, LetGo letGo) {
    const auto failed = [&log](const char* what) {
        log.write(LogTopic::KeyGuard, LogLevel::Warning,
                  std::string("cannot start the key guard: ") + what + ": " + std::strerror(errno));
        return KeyGuard();
    };
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return failed("socketpair");
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        failed("fork");
        ::close(ends[0]);
        ::close(ends[1]);
        return {};
    }
    if (pid == 0) {
        ::close(ends[0]);
        // Out of sight: no terminal output, and the signals that end the
        // program (a Ctrl+C reaches the whole process group) leave the guard
        // to end when the socket closes, after the program has let go itself.
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; fd <= 2 && null >= 0; ++fd) {
            ::dup2(null, fd);
        }
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
            std::signal(signal, SIG_IGN);
        }
        ::prctl(PR_SET_NAME, "quindorel-guard");
        serveSocketGuard(ends[1], letGo);
        ::_exit(0);
    }
    ::close(ends[1]);
    return KeyGuard(socketGuardLink(ends[0]));
}

void serveSocketGuard(int socket, const LetGo& letGo) {
    KeyLedger ledger;
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t got = ::read(socket, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // the program has ended, one way or another
        }
        ledger.read(buffer, static_cast<std::size_t>(got));
    }
    ::close(socket);
    if (const std::vector<GuardNote> owed = ledger.owed(); !owed.empty()) {
        letGo(owed);
    }
}

}  // namespace quindorel
