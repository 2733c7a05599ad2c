#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quorvale {

// Messages between a command-line invocation and the running instance: one JSON object
// per line, carrying a protocol version.
struct InstanceRequest {
    enum class Command { ping, reopen, file, capture, clipboard };
    Command command = Command::ping;
    QString path;
    bool windowMode = false;
};

struct InstanceReply {
    bool ok = false;
    QString message;
};

namespace InstanceProtocol {
inline constexpr int kVersion = 1;
inline constexpr qsizetype kMaxMessageBytes = 64 * 1024;

QByteArray encode(const InstanceRequest& request);
QByteArray encode(const InstanceReply& reply);
std::optional<InstanceRequest> decodeRequest(const QByteArray& line, QString* error);
std::optional<InstanceReply> decodeReply(const QByteArray& line, QString* error);

// A user-only socket in the runtime folder.
QString socketPath();
} // namespace InstanceProtocol

} // namespace quorvale
