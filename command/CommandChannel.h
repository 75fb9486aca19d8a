#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "command/CommandWords.h"

namespace quindorel {

class ChannelClient;
class ChannelListener;

// The running copy's name on the channel (see command/CommandLink.h); empty
// when no private place for it can be had.
QString channelName();

// The running copy's end. Each connection may send one verb and a line end,
// in at most command::kMaxRequest bytes, within command::kRequestTimeoutMs; anything else
// (too much, nothing, garbage, a client gone half-way) is dropped without a
// word to the user, and nothing here ever blocks the event loop.
class CommandServer : public QObject {
public:
    // `answer` gets each well-formed request and a function that takes the
    // reply line, at once or later (a client gone meanwhile hears nothing).
    using Reply = std::function<void(const QByteArray&)>;
    using Answer = std::function<void(const command::Request&, Reply)>;
    explicit CommandServer(Answer answer, QObject* parent = nullptr);
    ~CommandServer() override;

    enum class Listen { Listening, OtherCopyRuns, Unavailable };
    // Starts listening; a channel left behind by a killed copy is taken over.
    Listen listen();
    QString errorText() const { return error_; }

private:
    void accept(std::unique_ptr<ChannelClient> client);

    Answer answer_;
    std::unique_ptr<ChannelListener> listener_;
    QString error_;
};

}  // namespace quindorel
