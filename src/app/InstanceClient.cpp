#include "app/InstanceClient.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace quorvale {

std::optional<InstanceReply> InstanceClient::send(const QString& socketPath,
                                                  const InstanceRequest& request, int timeoutMs,
                                                  QString* error) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(1000)) {
        *error = QStringLiteral("Quorvale is not running");
        return std::nullopt;
    }
    socket.write(InstanceProtocol::encode(request));
    if (!socket.waitForBytesWritten(1000)) {
        *error = QStringLiteral("Quorvale did not accept the request");
        return std::nullopt;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!socket.canReadLine()) {
        // A closing instance drops the connection without answering.
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) {
            *error = QStringLiteral("Quorvale closed the connection without answering");
            return std::nullopt;
        }
        if (deadline.hasExpired()) {
            *error = QStringLiteral("Quorvale did not answer in time");
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
