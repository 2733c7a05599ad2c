#pragma once

#include <QLoggingCategory>
#include <QString>

// The application's log categories over Qt's logging, below every layer so the platform
// backends log to them too. Messages at info level and above are always written; debug
// output of a category is switched on like any Qt category's, e.g.
// QT_LOGGING_RULES="com.vantrelo.Quorvale.Debug.debug=true".
namespace quorvale::Log {

// Categories are named "<subsystem>.<category>".
const QString& subsystem();
// The subsystem for an application id; ids may be missing in odd builds.
QString subsystemFor(const QString& applicationId);

// Accessors in the form qCInfo() and friends take: qCInfo(Log::general) << "...".
const QLoggingCategory& networking();
const QLoggingCategory& ui();
const QLoggingCategory& camera();
const QLoggingCategory& general();
const QLoggingCategory& debug();

} // namespace quorvale::Log
