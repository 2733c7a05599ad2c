#include "app/InstanceProtocol.h"

#include "app/InstanceAccess.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace quorvale::InstanceProtocol {
namespace {

struct CommandName {
    InstanceRequest::Command command;
    const char* name;
};
constexpr CommandName kCommandNames[] = {
    {InstanceRequest::Command::ping, "ping"},
    {InstanceRequest::Command::reopen, "reopen"},
    {InstanceRequest::Command::file, "file"},
    {InstanceRequest::Command::capture, "capture"},
    {InstanceRequest::Command::clipboard, "clipboard"},
};

QByteArray line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> parse(const QByteArray& bytes, QString* error) {
    if (bytes.size() > kMaxMessageBytes) {
        *error = QStringLiteral("message too large");
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.trimmed(), &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("malformed message");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    if (object.value("version").toInt(-1) != kVersion) {
        *error = QStringLiteral("unsupported protocol version %1 (expected %2)")
                     .arg(object.value("version").toInt(-1))
                     .arg(kVersion);
        return std::nullopt;
    }
    return object;
}

} // namespace

QByteArray encode(const InstanceRequest& request) {
    QJsonObject object{{"version", kVersion}};
    for (const CommandName& entry : kCommandNames) {
        if (entry.command == request.command) {
            object.insert("command", QString::fromLatin1(entry.name));
        }
    }
    if (request.command == InstanceRequest::Command::file) {
        object.insert("path", request.path);
    }
    if (request.command == InstanceRequest::Command::capture) {
        object.insert("windowMode", request.windowMode);
    }
    return line(object);
}

QByteArray encode(const InstanceReply& reply) {
    return line(QJsonObject{{"version", kVersion}, {"ok", reply.ok}, {"message", reply.message}});
}

std::optional<InstanceRequest> decodeRequest(const QByteArray& bytes, QString* error) {
    const auto object = parse(bytes, error);
    if (!object) {
        return std::nullopt;
    }
    const QString name = object->value("command").toString();
    for (const CommandName& entry : kCommandNames) {
        if (name == QLatin1String(entry.name)) {
            InstanceRequest request;
            request.command = entry.command;
            request.path = object->value("path").toString();
            request.windowMode = object->value("windowMode").toBool();
            if (request.command == InstanceRequest::Command::file && request.path.isEmpty()) {
                *error = QStringLiteral("file request without a path");
                return std::nullopt;
            }
            return request;
        }
    }
    *error = QStringLiteral("unknown command \"%1\"").arg(name);
    return std::nullopt;
}

std::optional<InstanceReply> decodeReply(const QByteArray& bytes, QString* error) {
    const auto object = parse(bytes, error);
    if (!object) {
        return std::nullopt;
    }
    return InstanceReply{object->value("ok").toBool(), object->value("message").toString()};
}

QString socketPath() {
    return InstanceAccess::socketFolder() + QStringLiteral("/quorvale.socket");
}

} // namespace quorvale::InstanceProtocol
