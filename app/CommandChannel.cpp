#include "app/CommandChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSet>
#include <QTimer>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quindorel {

namespace {

const QSet<QByteArray>& knownVerbs() {
    static const QSet<QByteArray> verbs{"show", "start", "stop", "toggle", "status"};
    return verbs;
}

#ifndef Q_OS_WIN
// A folder only this user can open: $XDG_RUNTIME_DIR, or a folder of ours in
// the temporary folder that must be ours and closed to others.
QString privateFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        struct stat info {};
        if (::stat(QFile::encodeName(runtime).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
            info.st_uid == ::getuid() && (info.st_mode & 077) == 0) {
            return runtime;
        }
    }
    const QString folder = QDir::tempPath() + QStringLiteral("/quindorel-%1").arg(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 077) != 0) {
        return {};
    }
    return folder;
}
#endif

// The display the window goes to: one running copy per display.
QString displayName() {
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    }
    QString safe;
    for (const QChar c : display) {
        safe += c.isLetterOrNumber() ? c : QLatin1Char('_');
    }
    return safe.left(40);
}

}  // namespace

QString channel::name() {
#ifdef Q_OS_WIN
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    wchar_t user[257] = {};
    DWORD length = 257;
    if (!GetUserNameW(user, &length)) {
        return {};
    }
    return QStringLiteral("quindorel-%1-%2")
        .arg(QString::fromWCharArray(user).toLower())
        .arg(session);
#else
    const QString folder = privateFolder();
    if (folder.isEmpty()) {
        return {};
    }
    return folder + QStringLiteral("/quindorel-%1.socket").arg(displayName());
#endif
}

std::optional<QByteArray> channel::ask(const QByteArray& verb, int timeoutMs) {
    const QString path = name();
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) {
        return std::nullopt;
    }
    socket.write(verb + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return std::nullopt;
    }
    QByteArray reply;
    while (!reply.contains('\n') && reply.size() < 4096) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(timeoutMs)) {
            break;
        }
        reply += socket.read(4096 - reply.size());
    }
    if (!reply.contains('\n')) {
        return std::nullopt;
    }
    return reply.left(reply.indexOf('\n'));
}

CommandServer::CommandServer(std::function<QByteArray(const QByteArray&)> answer, QObject* parent)
    : QObject(parent), answer_(std::move(answer)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] { accept(); });
}

CommandServer::~CommandServer() = default;

CommandServer::Listen CommandServer::listen() {
    const QString path = channel::name();
    if (path.isEmpty()) {
        error_ = QStringLiteral("no private folder for the command channel");
        return Listen::Unavailable;
    }
    if (server_->listen(path)) {
        return Listen::Listening;
    }
    // Someone has the name: a running copy answers; a killed one left its
    // socket file behind, which is taken over.
    if (channel::ask("status", 1000)) {
        return Listen::OtherCopyRuns;
    }
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
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
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
            socket->abort();  // too much: not one of ours
        }
        return;
    }
    socket->read(end + 1);
    request.truncate(end);
    if (request.endsWith('\r')) {
        request.chop(1);
    }
    socket->setProperty("answered", true);
    if (!knownVerbs().contains(request)) {
        socket->abort();
        return;
    }
    socket->write(answer_(request) + '\n');
    socket->disconnectFromServer();
}

}  // namespace quindorel
