#include "app/InstanceServer.h"

#include "app/InstanceAccess.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace quorvale {

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler)) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::ListenResult InstanceServer::listen(const QString& socketPath, QString* error) {
    if (!InstanceAccess::secureFolder(QFileInfo(socketPath).absolutePath(), true, error)) {
        return ListenResult::failed;
    }
    m_lock = std::make_unique<QLockFile>(socketPath + QStringLiteral(".lock"));
    // Only a lock whose process is gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            return ListenResult::anotherInstanceRunning;
        }
        *error =
            QCoreApplication::translate("InstanceServer", "cannot create the lock file beside %1")
                .arg(socketPath);
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
        if (!InstanceAccess::peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Silent connections would otherwise be held for as long as the peer likes.
        auto* silence = new QTimer(socket);
        silence->setSingleShot(true);
        connect(silence, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        silence->start(m_idleTimeoutMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, silence] {
            if (!silence->isActive()) {
                return; // the request is being answered
            }
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > InstanceProtocol::kMaxMessageBytes) {
                    socket->abort();
                }
                return;
            }
            silence->stop();
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
