#include "platform/GuardSocket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace quindorel
