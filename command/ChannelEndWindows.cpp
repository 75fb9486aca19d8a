// The channel's Windows end: a named pipe through QLocalServer, linked into
// the one static program, so it costs nothing to load.
#include "command/ChannelEnd.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "command/CommandWords.h"

#include "platform/win32/OwnPipe.h"
#include "platform/win32/WindowsApi.h"

namespace quindorel {

namespace {

class PipeClient : public ChannelClient {
public:
    explicit PipeClient(QLocalSocket* socket) : socket_(socket) {
        socket_->setParent(this);
        connect(socket_, &QLocalSocket::readyRead, this, [this] { received(socket_->readAll()); });
        connect(socket_, &QLocalSocket::disconnected, this, [this] { received(QByteArray()); });
    }

    // The client closes its end once it has the line. This end stays open
    // until then: closing it disconnects the pipe, which throws away what the
    // client has not read yet, and a client slow to read would find no
    // answer to a command that was carried out. One that never closes is let
    // go after a while.
    void reply(const QByteArray& bytes) override {
        socket_->write(bytes);
        QTimer::singleShot(command::kRequestTimeoutMs, socket_, [this] { socket_->abort(); });
    }

    void drop() override { socket_->abort(); }

    // Bytes that came with the connection, before anyone listened for them.
    void readWaiting() {
        if (socket_->bytesAvailable() > 0) {
            received(socket_->readAll());
        }
    }

private:
    QLocalSocket* socket_;
};

class PipeListener : public ChannelListener {
public:
    PipeListener() {
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = server_.nextPendingConnection()) {
                auto client = std::make_unique<PipeClient>(socket);
                PipeClient* waiting = client.get();
                arrived(std::move(client));
                waiting->readWaiting();
            }
        });
    }

    // QLocalServer (Qt 6.4) joins a pipe that exists as one more instance of
    // it: clients would reach either server. Any account may create the
    // pipe of this name first, so the name is taken here as the pipe's first
    // instance, open to this user alone, before Qt adds its own; once Qt has
    // them, they hold the name.
    bool listen(const QString& address) override {
        const std::string path = win32::pipePath(address.toStdString());
        unsigned long code = 0;
        void* first = win32::claimPipeName(path, &code);
        if (first == nullptr) {
            error_ = code == ERROR_ACCESS_DENIED
                         ? heldBy(path)
                         : QStringLiteral("cannot create the command pipe %1 (error %2)")
                               .arg(QString::fromStdString(path))
                               .arg(code);
            return false;
        }
        const bool listening = server_.listen(address);
        CloseHandle(first);
        error_ = listening ? QString() : server_.errorString();
        return listening;
    }

    // Nothing is left behind: a pipe goes with its last server.
    void removeLeftover(const QString&) override {}

    QString errorText() const override { return error_; }

private:
    static QString heldBy(const std::string& path) {
        const QString pipe = QString::fromStdString(path);
        unsigned long code = 0;
        void* client = win32::openPipe(path, &code);
        if (client == nullptr) {
            return QStringLiteral("the command pipe %1 is had already (error %2)")
                .arg(pipe)
                .arg(code);
        }
        std::string why;
        const bool ours = win32::servedBy(client, win32::processUser(), &why);
        CloseHandle(client);
        return ours ? QStringLiteral("another program of this user has the command pipe %1")
                          .arg(pipe)
                    : QStringLiteral("a program of another user has the command pipe %1 (%2)")
                          .arg(pipe, QString::fromStdString(why));
    }

    QLocalServer server_;
    QString error_;
};

}  // namespace

std::unique_ptr<ChannelListener> makeChannelListener() {
    return std::make_unique<PipeListener>();
}

}  // namespace quindorel
