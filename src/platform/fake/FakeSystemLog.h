#pragma once

#include "platform/SystemLog.h"

#include <QList>
#include <mutex>

namespace quorvale::platform {

class FakeSystemLog : public SystemLog {
public:
    void write(const LogEntry& entry) override {
        std::lock_guard lock(m_mutex);
        written.append(entry);
    }
    QList<LogEntry> entries() {
        std::lock_guard lock(m_mutex);
        return written;
    }

private:
    std::mutex m_mutex;
    QList<LogEntry> written;
};

} // namespace quorvale::platform
