#pragma once

#include "platform/SystemLog.h"

#include <QList>
#include <memory>

namespace quorvale::platform {

// Structured entries in the systemd journal, identified as "quorvale" and carrying the
// category as a field, so `journalctl -t quorvale CATEGORY=Debug` finds them.
class JournalSystemLog : public SystemLog {
public:
    // `fallback` takes what the journal refuses; with `echo` it also gets every entry.
    JournalSystemLog(std::shared_ptr<SystemLog> fallback, bool echo);

    // Whether a journal listens on this machine.
    static bool isAvailable();
    static QList<QByteArray> fields(const LogEntry& entry);

    void write(const LogEntry& entry) override;

private:
    std::shared_ptr<SystemLog> m_fallback;
    bool m_echo;
};

} // namespace quorvale::platform
