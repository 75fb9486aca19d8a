#include "command/CommandChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>

#include "command/CommandLink.h"
#include "platform/QtSystemLog.h"

namespace quindorel {

namespace {
constexpr qint64 kMaxRequest = command::kMaxRequest;
}

QString channelName() {
    return QString::fromStdString(commandlink::address());
}

CommandServer::CommandServer(std::function<QByteArray(command::Verb)> answer, QObject* parent)
    : QObject(parent), answer_(std::move(answer)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] { accept(); });
}

CommandServer::~CommandServer() = default;

CommandServer::Listen CommandServer::listen() {
    const QString path = channelName();
    if (path.isEmpty()) {
        error_ = QStringLiteral("no private folder for the command channel");
        return Listen::Unavailable;
    }
    if (server_->listen(path)) {
        return Listen::Listening;
    }
    // Someone has the name: a running copy answers; a killed one left its
    // socket file behind, which is taken over.
    if (commandlink::ask(command::Verb::Status, qtSystemLog(), 1000)) {
        return Listen::OtherCopyRuns;
    }
    qCDebug(lcCommand, "taking over the command channel %s", qPrintable(path));
    QLocalServer::removeServer(path);
    if (server_->listen(path)) {
        return Listen::Listening;
    }
    error_ = server_->errorString();
    return Listen::Unavailable;
}

void CommandServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        socket->setReadBufferSize(kMaxRequest + 1);
        // A client that says nothing, or too little, is let go after a while.
        QTimer::singleShot(command::kRequestTimeoutMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        if (socket->bytesAvailable() > 0) {
            read(socket);
        }
    }
}

void CommandServer::read(QLocalSocket* socket) {
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray request = socket->peek(kMaxRequest + 1);
    const qsizetype end = request.indexOf('\n');
    if (end < 0) {
        if (request.size() > kMaxRequest) {
            qCDebug(lcCommand, "a client sent %d bytes without a line end; let go",
                    static_cast<int>(request.size()));
            socket->abort();  // too much: not one of ours
        }
        return;
    }
    socket->read(end + 1);
    request.truncate(end);
    socket->setProperty("answered", true);
    const std::optional<command::Verb> verb = command::readRequest(request.toStdString());
    if (!verb) {
        qCDebug(lcCommand, "a client sent no verb of ours (%d bytes); let go",
                static_cast<int>(request.size()));
        socket->abort();
        return;
    }
    socket->write(answer_(*verb) + '\n');
    socket->disconnectFromServer();
}

}  // namespace quindorel
