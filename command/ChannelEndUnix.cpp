// The channel's Unix end: a local socket in the user's private folder, served
// by the event loop through socket notifiers. Plain system calls rather than
// QLocalServer, whose network module would be loaded at every start for the
// few bytes a command sends.
#include "command/ChannelEnd.h"

#include <QFile>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quindorel {

namespace {

class SocketClient : public ChannelClient {
public:
    explicit SocketClient(int fd) : fd_(fd), readable_(fd, QSocketNotifier::Read) {
        connect(&readable_, &QSocketNotifier::activated, this, [this] { readAll(); });
    }
    ~SocketClient() override { drop(); }

    void reply(const QByteArray& bytes) override {
        if (fd_ >= 0) {
            // A reply is a short line and the socket's buffer is empty: it
            // goes at once or the client is gone, and either way we are done.
            (void)::send(fd_, bytes.constData(), static_cast<size_t>(bytes.size()),
                         MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        drop();
        received(QByteArray());
    }

    void drop() override {
        readable_.setEnabled(false);
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    void readAll() {
        char buffer[512];
        while (fd_ >= 0) {
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            }
            if (got <= 0) {
                drop();
                received(QByteArray());  // gone
                return;
            }
            received(QByteArray(buffer, static_cast<qsizetype>(got)));
        }
    }

    int fd_;
    QSocketNotifier readable_;
};

class SocketListener : public ChannelListener {
public:
    ~SocketListener() override { close(); }

    bool listen(const QString& address) override {
        close();
        const QByteArray path = QFile::encodeName(address);
        sockaddr_un where{};
        if (path.size() >= static_cast<qsizetype>(sizeof where.sun_path)) {
            error_ = QStringLiteral("the socket's path is too long: ") + address;
            return false;
        }
        where.sun_family = AF_UNIX;
        std::memcpy(where.sun_path, path.constData(), static_cast<size_t>(path.size()) + 1);
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            return failed("socket");
        }
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
            return failed("bind");  // EADDRINUSE: a copy runs, or a killed one left its socket
        }
        struct stat info {};
        // The folder is the user's alone already; the socket is too.
        if (::chmod(path.constData(), 0600) != 0 || ::stat(path.constData(), &info) != 0 ||
            ::listen(fd_, 16) != 0) {
            failed("listen");
            ::unlink(path.constData());
            return false;
        }
        path_ = path;
        inode_ = info.st_ino;
        acceptable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(acceptable_.get(), &QSocketNotifier::activated, this, [this] { acceptAll(); });
        return true;
    }

    void removeLeftover(const QString& address) override {
        ::unlink(QFile::encodeName(address).constData());
    }

    QString errorText() const override { return error_; }

private:
    void acceptAll() {
        while (fd_ >= 0) {
            const int client = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (client < 0) {
                // EAGAIN: none waits. Anything else (a client gone before it
                // was taken, no descriptors left) is that client's loss alone.
                return;
            }
            arrived(std::make_unique<SocketClient>(client));
        }
    }

    bool failed(const char* step) {
        error_ = QStringLiteral("%1: %2").arg(QLatin1String(step),
                                              QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
    }

    void close() {
        acceptable_.reset();
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        // Ours only while it is the socket we made: a copy that took the
        // name over since keeps its own.
        struct stat info {};
        if (!path_.isEmpty() && ::stat(path_.constData(), &info) == 0 && info.st_ino == inode_) {
            ::unlink(path_.constData());
        }
        path_.clear();
    }

    int fd_ = -1;
    QByteArray path_;
    ino_t inode_ = 0;
    std::unique_ptr<QSocketNotifier> acceptable_;
    QString error_;
};

}  // namespace

std::unique_ptr<ChannelListener> makeChannelListener() {
    return std::make_unique<SocketListener>();
}

}  // namespace quindorel
