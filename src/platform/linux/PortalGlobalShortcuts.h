#pragma once

#include "platform/DesktopShortcuts.h"

#include <QDBusConnection>
#include <QObject>

class QDBusMessage;
class QDBusObjectPath;

namespace quorvale::platform {

// The desktop portal's GlobalShortcuts interface: one session for the whole run, its
// shortcuts bound once. A portal without the interface, or one that binds none of them,
// answers with an empty list. The portal ends the session when we leave the bus.
class PortalGlobalShortcuts : public QObject, public DesktopShortcuts {
    Q_OBJECT
public:
    explicit PortalGlobalShortcuts(const QDBusConnection& bus = QDBusConnection::sessionBus());

    void bind(std::vector<Wanted> wanted, AnswerHandler answered,
              ActivationHandler activated) override;

private slots:
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);
    void onShortcutsChanged(const QDBusMessage& message);

private:
    void bindInSession(const QString& session);
    void answer(std::vector<Assigned> assigned, const QString& detail = {});

    // By name: the connection itself must not outlive the application object.
    QDBusConnection bus() const { return QDBusConnection(m_busName); }

    QString m_busName;
    std::vector<Wanted> m_wanted;
    AnswerHandler m_answered;
    ActivationHandler m_activated;
    QString m_session;
    bool m_asked = false;
};

} // namespace quorvale::platform
