#include "platform/linux/StderrSystemLog.h"

#include <cstdio>

namespace quorvale::platform {

QByteArray StderrSystemLog::line(const LogEntry& entry) {
    QByteArray text = "quorvale: ";
    switch (entry.type) {
    case QtWarningMsg:
        text += "warning: ";
        break;
    case QtCriticalMsg:
        text += "error: ";
        break;
    case QtFatalMsg:
        text += "fatal: ";
        break;
    case QtDebugMsg:
    case QtInfoMsg:
        break;
    }
    if (entry.category != "default") {
        text += '[' + entry.category + "] ";
    }
    return text + entry.message.toUtf8() + '\n';
}

void StderrSystemLog::write(const LogEntry& entry) {
    // One call per line, so lines from several threads never interleave.
    const QByteArray text = line(entry);
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace quorvale::platform
