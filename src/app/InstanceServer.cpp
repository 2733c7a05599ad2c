#include "app/InstanceServer.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <sys/stat.h>

namespace quorvale {

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler)) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::ListenResult InstanceServer::listen(const QString& socketPath, QString* error) {
    const QString folder = QFileInfo(socketPath).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return ListenResult::failed;
    }
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    m_lock = std::make_unique<QLockFile>(socketPath + QStringLiteral(".lock"));
    // Only a lock whose process is gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            return ListenResult::anotherInstanceRunning;
        }
        *error = QStringLiteral("cannot create the lock file beside %1").arg(socketPath);
        return ListenResult::failed;
    }
    QLocalServer::removeServer(socketPath);
    if (m_server.listen(socketPath)) {
        return ListenResult::listening;
    }
    *error = m_server.errorString();
    m_lock.reset();
    return ListenResult::failed;
}

void InstanceServer::close() {
    m_server.close();
    m_lock.reset();
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > InstanceProtocol::kMaxMessageBytes) {
                    socket->abort();
                }
                return;
            }
            const QByteArray line = socket->readLine(InstanceProtocol::kMaxMessageBytes + 1);
            QPointer<QLocalSocket> weakSocket(socket);
            Reply reply = [weakSocket](const InstanceReply& answer) {
                if (weakSocket) {
                    weakSocket->write(InstanceProtocol::encode(answer));
                    weakSocket->flush();
                    weakSocket->disconnectFromServer();
                }
            };
            QString error;
            const auto request = InstanceProtocol::decodeRequest(line, &error);
            if (!request) {
                reply({false, error});
                return;
            }
            m_handler(*request, std::move(reply));
        });
    }
}

} // namespace quorvale
