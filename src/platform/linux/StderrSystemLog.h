#pragma once

#include "platform/SystemLog.h"

namespace quorvale::platform {

// Log lines on standard error, where no journal takes them.
class StderrSystemLog : public SystemLog {
public:
    // "quorvale: warning: [General] text"; info and debug lines carry no level.
    static QByteArray line(const LogEntry& entry);
    void write(const LogEntry& entry) override;
};

} // namespace quorvale::platform
