#include "platform/linux/JournalSystemLog.h"

#include <sys/uio.h>
// The entry carries the caller's location, not this file's.
#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-journal.h>
#include <unistd.h>
#include <vector>

namespace quorvale::platform {
namespace {

int priorityOf(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtInfoMsg:
        return 6;
    case QtWarningMsg:
        return 4;
    case QtCriticalMsg:
        return 3;
    case QtFatalMsg:
        return 2;
    }
    return 6;
}

} // namespace

JournalSystemLog::JournalSystemLog(std::shared_ptr<SystemLog> fallback, bool echo)
    : m_fallback(std::move(fallback))
    , m_echo(echo) {}

bool JournalSystemLog::isAvailable() {
    return ::access("/run/systemd/journal/socket", W_OK) == 0;
}

QList<QByteArray> JournalSystemLog::fields(const LogEntry& entry) {
    QList<QByteArray> fields{
        "MESSAGE=" + entry.message.toUtf8(),
        "PRIORITY=" + QByteArray::number(priorityOf(entry.type)),
        "SYSLOG_IDENTIFIER=quorvale",
    };
    if (!entry.subsystem.isEmpty()) {
        fields.append("SUBSYSTEM=" + entry.subsystem);
        fields.append("CATEGORY=" + entry.category);
    } else {
        fields.append("QT_CATEGORY=" + entry.category);
    }
    if (!entry.file.isEmpty()) {
        fields.append("CODE_FILE=" + entry.file);
        fields.append("CODE_LINE=" + QByteArray::number(entry.line));
    }
    if (!entry.function.isEmpty()) {
        fields.append("CODE_FUNC=" + entry.function);
    }
    return fields;
}

void JournalSystemLog::write(const LogEntry& entry) {
    const QList<QByteArray> all = fields(entry);
    std::vector<iovec> vectors;
    vectors.reserve(size_t(all.size()));
    for (const QByteArray& field : all) {
        vectors.push_back({const_cast<char*>(field.constData()), size_t(field.size())});
    }
    // The library reports success when there is no journal socket at all, so a journal that
    // went away would swallow every message.
    const bool sent = sd_journal_sendv(vectors.data(), int(vectors.size())) >= 0 && isAvailable();
    if ((!sent || m_echo) && m_fallback) {
        m_fallback->write(entry);
    }
}

} // namespace quorvale::platform
