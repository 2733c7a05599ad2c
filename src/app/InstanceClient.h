#pragma once

#include "app/InstanceProtocol.h"

#include <QString>
#include <optional>

namespace quorvale {

// The command line's end of the channel to the running instance. Blocking.
class InstanceClient {
public:
    static inline const QString kNotRunning = QStringLiteral("Quorvale is not running");

    // Nothing when no instance answers; error says why.
    static std::optional<InstanceReply>
    send(const QString& socketPath, const InstanceRequest& request, int timeoutMs, QString* error);
    static bool isRunning(const QString& socketPath);
};

} // namespace quorvale
