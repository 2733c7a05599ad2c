#include "platform/linux/FreedesktopNotifications.h"

#include "common/BuildInfo.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <cmath>

namespace quorvale::platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

} // namespace

bool FreedesktopNotifications::isAvailable() const {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(kService).value();
}

void FreedesktopNotifications::show(const QString& message, const QString& icon, double seconds) {
    const bool failure = icon == u"xmark.app";
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QString::fromLatin1(build::kApplicationId)},
        // A passing message: not kept in the desktop's history.
        {QStringLiteral("transient"), true},
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(failure ? 1 : 0))}};
    call << QString::fromLatin1(build::kApplicationName) << *m_lastId
         << (failure ? QStringLiteral("dialog-error") : QStringLiteral("edit-copy")) << message
         << QString() << QStringList() << hints << qint32(std::lround(seconds * 1000));
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), nullptr);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [lastId = m_lastId, watcher] {
                         const QDBusPendingReply<quint32> reply = *watcher;
                         if (reply.isValid()) {
                             *lastId = reply.value();
                         }
                         watcher->deleteLater();
                     });
}

} // namespace quorvale::platform
