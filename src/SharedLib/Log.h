#pragma once

#include "SharedLib/LogPrivacy.h"

#include <QLoggingCategory>
#include <QString>
#include <initializer_list>
#include <memory>
#include <source_location>
#include <utility>

namespace quorvale::platform {
class SystemLog;
}

// The application's log categories over Qt's logging. Messages at info level and above are
// always written; debug output of a category is switched on like any Qt category's, e.g.
// QT_LOGGING_RULES="com.vantrelo.Quorvale.Debug.debug=true".
namespace quorvale::Log {

using Value = std::pair<QString, LogPrivacy>;

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

// Private and sensitive values are shown only while the category's debug output is on, so a
// journal kept at the default level never holds paths, names or the like.
QString redact(const QString& value, LogPrivacy privacy, const QLoggingCategory& category);

// Writes `format` with %1 to %9 replaced by the values, each at its privacy level.
void write(const QLoggingCategory& category, QtMsgType type, const QString& format,
           std::initializer_list<Value> values = {},
           std::source_location where = std::source_location::current());

// Hands every message of the process, Qt's own included, to `output`; null puts Qt's
// default output back.
void installOutput(std::shared_ptr<platform::SystemLog> output);

} // namespace quorvale::Log
