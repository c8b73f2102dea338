#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace qm {

// How a later start hands its command line to the running copy of the program: a local socket
// per user beside the instance lock. The running copy listens; a later start sends its argument
// text and ends as soon as the running copy has it.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    explicit InstanceChannel(QObject* parent = nullptr);

    // Starts listening (the holder of the instance lock only); false when the socket cannot be
    // made, in which case later starts are refused as before.
    bool listen();

    // Hands argumentText to the running copy; true once it has received it.
    static bool send(const QString& argumentText, int timeoutMs = 3000);

    static QString socketPath();

Q_SIGNALS:
    // A later start asked for argumentText (its whole command line after the program's name);
    // relative paths in it are relative to senderFolder, the folder that start was made in.
    void requestReceived(const QString& argumentText, const QString& senderFolder);

private:
    void readRequest(class QLocalSocket* socket);

    QLocalServer m_server;
};

}  // namespace qm
