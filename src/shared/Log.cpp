#include "shared/Log.h"

#include "platform/SystemLog.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace quorvale::Log {
namespace {

// Outputs stay alive for the whole process: another thread may still be writing to the one
// that was just replaced.
std::atomic<platform::SystemLog*> g_output{nullptr};

void keepAlive(std::shared_ptr<platform::SystemLog> output) {
    static std::mutex mutex;
    static std::vector<std::shared_ptr<platform::SystemLog>> outputs;
    std::lock_guard lock(mutex);
    outputs.push_back(std::move(output));
}

void forward(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    platform::SystemLog* output = g_output.load();
    if (!output) {
        return;
    }
    platform::LogEntry entry;
    entry.type = type;
    entry.message = message;
    entry.file = context.file;
    entry.line = context.line;
    entry.function = context.function;
    const QByteArray name = context.category ? context.category : "default";
    const QByteArray prefix = subsystem().toUtf8() + '.';
    if (name.startsWith(prefix)) {
        entry.subsystem = prefix.chopped(1);
        entry.category = name.mid(prefix.size());
    } else {
        entry.category = name;
    }
    output->write(entry);
}

QString substitute(const QString& format, const QList<QString>& values) {
    QString text;
    text.reserve(format.size());
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'%' && i + 1 < format.size() && format[i + 1] >= u'1' && format[i + 1] <= u'9') {
            const qsizetype index = format[i + 1].unicode() - u'1';
            if (index < values.size()) {
                text += values[index];
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

} // namespace

QString redact(const QString& value, LogPrivacy privacy, const QLoggingCategory& category) {
    if (privacy == LogPrivacy::public_ || category.isDebugEnabled()) {
        return value;
    }
    return privacy == LogPrivacy::private_ ? QStringLiteral("<private>")
                                           : QStringLiteral("<sensitive>");
}

void write(const QLoggingCategory& category, QtMsgType type, const QString& format,
           std::initializer_list<Value> values, std::source_location where) {
    if (!category.isEnabled(type == QtFatalMsg ? QtCriticalMsg : type)) {
        return;
    }
    QList<QString> rendered;
    for (const auto& [value, privacy] : values) {
        rendered.append(redact(value, privacy, category));
    }
    const QByteArray text = substitute(format, rendered).toUtf8();
    QMessageLogger logger(where.file_name(), int(where.line()), where.function_name(),
                          category.categoryName());
    switch (type) {
    case QtDebugMsg:
        logger.debug("%s", text.constData());
        break;
    case QtInfoMsg:
        logger.info("%s", text.constData());
        break;
    case QtWarningMsg:
        logger.warning("%s", text.constData());
        break;
    case QtCriticalMsg:
        logger.critical("%s", text.constData());
        break;
    case QtFatalMsg:
        logger.fatal("%s", text.constData());
    }
}

void installOutput(std::shared_ptr<platform::SystemLog> output) {
    g_output.store(output.get());
    const bool installed = output != nullptr;
    if (installed) {
        keepAlive(std::move(output));
    }
    qInstallMessageHandler(installed ? forward : nullptr);
}

} // namespace quorvale::Log
