#pragma once

#include "common/LogCategories.h"
#include "shared/LogPrivacy.h"

#include <QLoggingCategory>
#include <QString>
#include <initializer_list>
#include <memory>
#include <source_location>
#include <utility>

namespace quorvale::platform {
class SystemLog;
}

// Writing to the application's log categories with privacy levels, and where every message
// of the process goes.
namespace quorvale::Log {

using Value = std::pair<QString, LogPrivacy>;

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
