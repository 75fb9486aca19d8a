#include "command/CommandChannel.h"

#include <QPointer>
#include <QTimer>

#include "command/ChannelEnd.h"
#include "command/CommandLink.h"
#include "platform/QtSystemLog.h"

namespace quindorel {

namespace {
constexpr qsizetype kMaxRequest = command::kMaxRequest;
}

QString channelName() {
    return QString::fromStdString(commandlink::address());
}

CommandServer::CommandServer(Answer answer, QObject* parent)
    : QObject(parent), answer_(std::move(answer)), listener_(makeChannelListener()) {
    listener_->arrived = [this](std::unique_ptr<ChannelClient> client) {
        accept(std::move(client));
    };
}

CommandServer::~CommandServer() = default;

CommandServer::Listen CommandServer::listen() {
    const QString path = channelName();
    if (path.isEmpty()) {
        error_ = QStringLiteral("no private folder for the command channel");
        return Listen::Unavailable;
    }
    if (listener_->listen(path)) {
        return Listen::Listening;
    }
    // Someone has the name: a running copy answers; a killed one left its
    // socket file behind, which is taken over.
    if (commandlink::ask(command::Verb::Status, qtSystemLog(), 1000)) {
        return Listen::OtherCopyRuns;
    }
    qCDebug(lcCommand, "taking over the command channel %s", qPrintable(path));
    listener_->removeLeftover(path);
    if (listener_->listen(path)) {
        return Listen::Listening;
    }
    error_ = listener_->errorText();
    return Listen::Unavailable;
}

void CommandServer::accept(std::unique_ptr<ChannelClient> owned) {
    ChannelClient* client = owned.release();
    client->setParent(this);
    // A client that says nothing, or too little, is let go after a while.
    auto* letGo = new QTimer(client);
    letGo->setSingleShot(true);
    QObject::connect(letGo, &QTimer::timeout, client, [client] {
        client->drop();
        client->deleteLater();
    });
    letGo->start(command::kRequestTimeoutMs);
    struct Request {
        QByteArray bytes;
        bool answered = false;
    };
    auto request = std::make_shared<Request>();
    client->received = [this, client, request, letGo](const QByteArray& piece) {
        if (piece.isEmpty()) {  // gone; an answer that comes later finds no one
            client->deleteLater();
            return;
        }
        if (request->answered) {
            return;
        }
        QByteArray& bytes = request->bytes;
        bytes.append(piece);
        const qsizetype end = bytes.indexOf('\n');
        if (end < 0 || end > kMaxRequest) {
            if (bytes.size() > kMaxRequest) {
                qCDebug(lcCommand, "a client sent %d bytes without a line end; let go",
                        static_cast<int>(bytes.size()));
                client->drop();  // too much: not one of ours
                client->deleteLater();
            }
            return;
        }
        request->answered = true;
        letGo->stop();
        const std::optional<command::Request> asked =
            command::readRequest(bytes.left(end).toStdString());
        if (!asked) {
            qCDebug(lcCommand, "a client sent no verb of ours (%d bytes); let go",
                    static_cast<int>(end));
            client->drop();
            client->deleteLater();
            return;
        }
        // The answer may come later (a start waits for the desktop's
        // dialog), when the client may have gone.
        answer_(*asked, [client = QPointer<ChannelClient>(client)](const QByteArray& line) {
            if (client) {
                client->reply(line + '\n');  // then gone, and deleted as above
            }
        });
    };
}

}  // namespace quindorel
