#include "platform/linux/PortalScreenCapturePermission.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QMap>
#include <QStringList>

namespace quorvale::platform {

namespace {

const QString kStore = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
const QString kStorePath = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");
// Where xdg-desktop-portal keeps the answer to "Allow Applications to Take Screenshots?";
// programs outside a sandbox share the entry of the empty app id.
const QString kTable = QStringLiteral("screenshot");
const QString kId = QStringLiteral("screenshot");
const QString kHostApp;

void call(QDBusConnection& bus, QObject* context, const QString& method, const QVariantList& args,
          std::function<void(const QDBusMessage&)> answered) {
    QDBusMessage message = QDBusMessage::createMethodCall(kStore, kStorePath, kStore, method);
    message.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, answered = std::move(answered)] {
                         watcher->deleteLater();
                         answered(watcher->reply());
                     });
}

} // namespace

PortalScreenCapturePermission::PortalScreenCapturePermission(DesktopFamily desktop,
                                                             QDBusConnection bus)
    : m_desktop(desktop)
    , m_bus(std::move(bus)) {}

PortalScreenCapturePermission::~PortalScreenCapturePermission() = default;

void PortalScreenCapturePermission::refreshAccess(std::function<void()> answered) {
    call(m_bus, m_calls.get(), QStringLiteral("Lookup"), {kTable, kId},
         [this, answered = std::move(answered)](const QDBusMessage& reply) {
             // No store, no table or no entry: the portal has nothing against us and asks.
             QMap<QString, QStringList> permissions;
             if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                 reply.arguments().constFirst().value<QDBusArgument>() >> permissions;
             }
             m_storedRefusal = permissions.value(kHostApp).value(0) == QLatin1String("no");
             answered();
         });
}

bool PortalScreenCapturePermission::forgetRefusal(ForgetDone done) {
    if (m_desktop != DesktopFamily::gnome) {
        return false;
    }
    call(m_bus, m_calls.get(), QStringLiteral("DeletePermission"), {kTable, kId, kHostApp},
         [this, done = std::move(done)](const QDBusMessage& reply) {
             // Nothing stored is as good as forgotten.
             if (reply.type() == QDBusMessage::ReplyMessage ||
                 reply.errorName() == QLatin1String("org.freedesktop.portal.Error.NotFound")) {
                 m_storedRefusal = false;
                 done(std::nullopt);
                 return;
             }
             done(
                 QCoreApplication::translate(
                     "PortalScreenCapturePermission",
                     "Quorvale could not make the desktop forget its answer (%1). Run this "
                     "command in a terminal, then capture again and answer \u201cAllow\u201d "
                     "when the desktop asks:\n\ngdbus call --session --dest %2 --object-path %3 "
                     "--method %2.DeletePermission screenshot screenshot \"\"")
                     .arg(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage(),
                          kStore, kStorePath));
         });
    return true;
}

std::optional<ScreenCapturePermission::DeniedTexts>
PortalScreenCapturePermission::deniedTexts() const {
    DeniedTexts texts;
    texts.messageText = QCoreApplication::translate("PortalScreenCapturePermission",
                                                    "Screen Recording Permission Required");
    switch (m_desktop) {
    case DesktopFamily::gnome:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. GNOME remembers a refusal and "
            "then refuses every screenshot without asking, and its settings offer no switch "
            "for it. Click \u201cAsk Again\u201d to make it forget the refusal, then capture "
            "again and answer \u201cAllow\u201d when it asks.");
        texts.forgetButton =
            QCoreApplication::translate("PortalScreenCapturePermission", "Ask Again");
        break;
    case DesktopFamily::kde:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Answer \u201cAllow\u201d "
            "when Plasma asks, and check that xdg-desktop-portal-kde is installed, then capture "
            "again.");
        break;
    case DesktopFamily::wlroots:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Screenshots come from "
            "xdg-desktop-portal and xdg-desktop-portal-wlr: check that both are installed and "
            "running in this session (your compositor's configuration starts them), then "
            "capture again.");
        break;
    case DesktopFamily::other:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Screenshots come from "
            "xdg-desktop-portal and a backend for this desktop: check that they are installed "
            "and allow screenshots when the desktop asks, then capture again.");
        break;
    }
    return texts;
}

} // namespace quorvale::platform
