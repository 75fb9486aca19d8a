// The channel's Windows end: a named pipe through QLocalServer, linked into
// the one static program, so it costs nothing to load.
#include "command/ChannelEnd.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace quindorel {

namespace {

class PipeClient : public ChannelClient {
public:
    explicit PipeClient(QLocalSocket* socket) : socket_(socket) {
        socket_->setParent(this);
        connect(socket_, &QLocalSocket::readyRead, this, [this] { received(socket_->readAll()); });
        connect(socket_, &QLocalSocket::disconnected, this, [this] { received(QByteArray()); });
    }

    void reply(const QByteArray& bytes) override {
        socket_->write(bytes);
        socket_->disconnectFromServer();
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

    bool listen(const QString& address) override { return server_.listen(address); }

    void removeLeftover(const QString& address) override { QLocalServer::removeServer(address); }

    QString errorText() const override { return server_.errorString(); }

private:
    QLocalServer server_;
};

}  // namespace

std::unique_ptr<ChannelListener> makeChannelListener() {
    return std::make_unique<PipeListener>();
}

}  // namespace quindorel
