#include "platform/instancechannel.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>

#include "platform/instancelock.h"

namespace qm {
namespace {

// A request: this tag, the sender's current folder, then the argument text; the answer is the
// tag once more.
constexpr quint32 kTag = 0x516d5271;  // "QmRq"
constexpr qint64 kMaxRequest = 64 * 1024;

}  // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {
    // Only this user may connect, also where the runtime folder is a shared temporary folder.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequest(socket); });
        }
    });
}

bool InstanceChannel::listen() {
    // Only the holder of the instance lock listens, so a socket left by a crashed run is stale.
    QLocalServer::removeServer(socketPath());
    return m_server.listen(socketPath());
}

void InstanceChannel::readRequest(QLocalSocket* socket) {
    if (socket->bytesAvailable() > kMaxRequest) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.startTransaction();
    quint32 tag = 0;
    QString senderFolder;
    QString argumentText;
    in >> tag >> senderFolder >> argumentText;
    if (!in.commitTransaction()) {
        return;  // not all of it yet
    }
    if (tag != kTag) {
        socket->abort();
        return;
    }
    QDataStream out(socket);
    out << kTag;
    socket->flush();
    socket->disconnectFromServer();
    // Acting may open windows and message boxes: after the sender has its answer.
    Q_EMIT requestReceived(argumentText, senderFolder);
}

bool InstanceChannel::send(const QString& argumentText, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    {
        QDataStream out(&socket);
        out << kTag << QDir::currentPath() << argumentText;
    }
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    QDataStream in(&socket);
    quint32 answer = 0;
    while (socket.bytesAvailable() < qint64(sizeof answer)) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    in >> answer;
    return answer == kTag;
}

QString InstanceChannel::socketPath() {
    QString path = InstanceLock::lockPath();
    path.chop(QStringLiteral(".lock").size());
    return path + QStringLiteral(".socket");
}

}  // namespace qm
