#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace quorvale::platform {

// One message as Qt's logging hands it over, with its privacy already applied.
struct LogEntry {
    QtMsgType type = QtInfoMsg;
    // The application's own categories come as subsystem "com.vantrelo.Quorvale" and category
    // "General"; Qt's and libraries' as an empty subsystem and their full name ("qt.qpa.xcb").
    QByteArray subsystem;
    QByteArray category;
    QString message;
    QByteArray file;
    int line = 0;
    QByteArray function;
};

// Where the process's log messages end up.
class SystemLog {
public:
    virtual ~SystemLog() = default;
    // Called from any thread.
    virtual void write(const LogEntry& entry) = 0;
};

} // namespace quorvale::platform
