#pragma once
// The system's side of the running copy's end of the command channel: a local
// socket on Unix, a named pipe on Windows. It only moves bytes; what a client
// may say and how it is answered is CommandServer's, once for both.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace quindorel {

// One connected client. Owned by the server, which deletes it (deleteLater)
// once it is answered, dropped or gone.
class ChannelClient : public QObject {
public:
    using QObject::QObject;
    // Each piece of bytes the client sends, as it arrives; an empty piece
    // once the client has gone.
    std::function<void(const QByteArray&)> received;
    // Sends the reply and lets the client go once it has read it; `received`
    // hears it is gone.
    virtual void reply(const QByteArray& bytes) = 0;
    // Lets the client go without a word.
    virtual void drop() = 0;
};

class ChannelListener : public QObject {
public:
    using QObject::QObject;
    // Each new client, handed over to the server.
    std::function<void(std::unique_ptr<ChannelClient>)> arrived;

    // Listens at the address (commandlink::address()), open to this user
    // only; false when the address is taken or cannot be had (errorText).
    virtual bool listen(const QString& address) = 0;
    // Removes what a killed copy left at the address, so that it can be taken over.
    virtual void removeLeftover(const QString& address) = 0;
    virtual QString errorText() const = 0;
};

std::unique_ptr<ChannelListener> makeChannelListener();

}  // namespace quindorel
