#include "app/InstanceClient.h"

#include "app/InstanceAccess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>

namespace quorvale {

std::optional<InstanceReply> InstanceClient::send(const QString& socketPath,
                                                  const InstanceRequest& request, int timeoutMs,
                                                  QString* error) {
    const QString folder = QFileInfo(socketPath).absolutePath();
    if (!QFileInfo::exists(folder)) {
        *error = kNotRunning;
        return std::nullopt;
    }
    // Requests carry the user's file paths: never to a socket someone else could have made.
    if (!InstanceAccess::secureFolder(folder, false, error)) {
        return std::nullopt;
    }
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(1000)) {
        *error = kNotRunning;
        return std::nullopt;
    }
    if (!InstanceAccess::peerIsThisUser(socket.socketDescriptor())) {
        *error = QCoreApplication::translate("InstanceClient",
                                             "the program listening on %1 runs as another user; "
                                             "refusing to talk to it")
                     .arg(socketPath);
        return std::nullopt;
    }
    socket.write(InstanceProtocol::encode(request));
    if (!socket.waitForBytesWritten(1000)) {
        *error =
            QCoreApplication::translate("InstanceClient", "Quorvale did not accept the request");
        return std::nullopt;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!socket.canReadLine()) {
        // A closing instance drops the connection without answering.
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) {
            *error = QCoreApplication::translate(
                "InstanceClient", "Quorvale closed the connection without answering");
            return std::nullopt;
        }
        if (deadline.hasExpired()) {
            *error =
                QCoreApplication::translate("InstanceClient", "Quorvale did not answer in time");
            return std::nullopt;
        }
        socket.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 200)));
    }
    return InstanceProtocol::decodeReply(socket.readLine(InstanceProtocol::kMaxMessageBytes + 1),
                                         error);
}

bool InstanceClient::isRunning(const QString& socketPath) {
    QString error;
    InstanceRequest ping;
    ping.command = InstanceRequest::Command::ping;
    return send(socketPath, ping, 1000, &error).has_value();
}

} // namespace quorvale
