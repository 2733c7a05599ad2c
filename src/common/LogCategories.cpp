#include "common/LogCategories.h"

#include "common/BuildInfo.h"

namespace quorvale::Log {
namespace {

QByteArray categoryName(const char* category) {
    return subsystem().toUtf8() + '.' + category;
}

} // namespace

QString subsystemFor(const QString& applicationId) {
    return applicationId.isEmpty() ? QStringLiteral("com.Tarvesline") : applicationId;
}

const QString& subsystem() {
    static const QString value = subsystemFor(QString::fromLatin1(build::kApplicationId));
    return value;
}

// Debug output is off until a logging rule turns it on.
#define QUORVALE_LOG_CATEGORY(accessor, label)                                                     \
    const QLoggingCategory& accessor() {                                                           \
        static const QByteArray name = categoryName(label);                                        \
        static const QLoggingCategory category(name.constData(), QtInfoMsg);                       \
        return category;                                                                           \
    }
QUORVALE_LOG_CATEGORY(networking, "Networking")
QUORVALE_LOG_CATEGORY(ui, "UI")
QUORVALE_LOG_CATEGORY(camera, "Camera")
QUORVALE_LOG_CATEGORY(general, "General")
QUORVALE_LOG_CATEGORY(debug, "Debug")
#undef QUORVALE_LOG_CATEGORY

} // namespace quorvale::Log
