#include "platform/linux/PortalGlobalShortcuts.h"

#include "common/LogCategories.h"
#include "platform/linux/PortalRequest.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QPointer>
#include <algorithm>
#include <utility>

namespace {

// One element of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace quorvale::platform {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

std::vector<DesktopShortcuts::Assigned> assignedIn(const QVariant& shortcuts) {
    std::vector<DesktopShortcuts::Assigned> assigned;
    if (shortcuts.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return assigned;
    }
    const auto argument = shortcuts.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sa{sv})")) {
        return assigned;
    }
    for (const PortalShortcut& shortcut : qdbus_cast<QList<PortalShortcut>>(argument)) {
        assigned.push_back(
            {shortcut.id,
             shortcut.properties.value(QStringLiteral("trigger_description")).toString()});
    }
    return assigned;
}

QList<PortalShortcut> portalShortcuts(const std::vector<DesktopShortcuts::Wanted>& wanted) {
    QList<PortalShortcut> shortcuts;
    for (const DesktopShortcuts::Wanted& one : wanted) {
        QVariantMap properties{{QStringLiteral("description"), one.description}};
        if (!one.preferredTrigger.isEmpty()) {
            properties.insert(QStringLiteral("preferred_trigger"), one.preferredTrigger);
        }
        shortcuts.append({one.id, properties});
    }
    return shortcuts;
}

// The interface documents an object path sent as a string; take either.
QString sessionHandleIn(const QVariantMap& results) {
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    return handle.metaType() == QMetaType::fromType<QDBusObjectPath>()
               ? handle.value<QDBusObjectPath>().path()
               : handle.toString();
}

QString failureOf(const PortalRequest::Answer& answer) {
    switch (answer.status) {
    case PortalRequest::Answer::Status::callFailed:
        return answer.error;
    case PortalRequest::Answer::Status::timedOut:
        return QStringLiteral("no answer");
    case PortalRequest::Answer::Status::answered:
        break;
    }
    return answer.response == 0 ? QString() : QStringLiteral("answered %1").arg(answer.response);
}

} // namespace

PortalGlobalShortcuts::PortalGlobalShortcuts(const QDBusConnection& bus)
    : m_busName(bus.name()) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

void PortalGlobalShortcuts::bind(std::vector<Wanted> wanted, AnswerHandler answered,
                                 ActivationHandler activated) {
    if (std::exchange(m_asked, true)) {
        qCWarning(Log::general, "The desktop's shortcuts were asked for twice");
        return;
    }
    m_wanted = std::move(wanted);
    m_answered = std::move(answered);
    m_activated = std::move(activated);
    QPointer<PortalGlobalShortcuts> self(this);
    // Plasma 5.27 binds only what CreateSession lists, and names the set after the session
    // token: a fixed token keeps the keys a user assigns there from one run to the next.
    PortalRequest::send(
        bus(), kInterface, QStringLiteral("CreateSession"), {},
        {{QStringLiteral("session_handle_token"), QStringLiteral("quorvale_shortcuts")},
         {QStringLiteral("shortcuts"), QVariant::fromValue(portalShortcuts(m_wanted))}},
        [self](PortalRequest::Answer answer) {
            if (!self) {
                return;
            }
            const QString failure = failureOf(answer);
            const QString session = sessionHandleIn(answer.results);
            if (!failure.isEmpty() || session.isEmpty()) {
                self->answer({},
                             QStringLiteral("no shortcuts session (%1)")
                                 .arg(failure.isEmpty() ? QStringLiteral("no handle") : failure));
                return;
            }
            self->bindInSession(session);
        });
}

void PortalGlobalShortcuts::bindInSession(const QString& session) {
    m_session = session;
    // Listening before binding: a press right after the desktop's answer is not lost.
    bus().connect(PortalRequest::kService, PortalRequest::kPath, kInterface,
                  QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    bus().connect(PortalRequest::kService, PortalRequest::kPath, kInterface,
                  QStringLiteral("ShortcutsChanged"), this, SLOT(onShortcutsChanged(QDBusMessage)));
    QPointer<PortalGlobalShortcuts> self(this);
    PortalRequest::send(bus(), kInterface, QStringLiteral("BindShortcuts"),
                        {QVariant::fromValue(QDBusObjectPath(session)),
                         QVariant::fromValue(portalShortcuts(m_wanted)), QString()},
                        {}, [self](PortalRequest::Answer answer) {
                            if (!self) {
                                return;
                            }
                            const QString failure = failureOf(answer);
                            self->answer(failure.isEmpty() ? assignedIn(answer.results.value(
                                                                 QStringLiteral("shortcuts")))
                                                           : std::vector<Assigned>{},
                                         failure);
                        });
}

void PortalGlobalShortcuts::answer(std::vector<Assigned> assigned, const QString& detail) {
    // Only what we asked for counts: a desktop that answers with other ids took none of ours.
    std::erase_if(assigned, [this](const Assigned& entry) {
        return std::none_of(m_wanted.begin(), m_wanted.end(),
                            [&](const Wanted& wanted) { return wanted.id == entry.id; });
    });
    Answer answer{std::move(assigned), detail};
    if (!answer.assigned.empty()) {
        qCInfo(Log::general, "The desktop's shortcuts portal bound %d shortcuts",
               static_cast<int>(answer.assigned.size()));
    } else {
        if (answer.detail.isEmpty()) {
            answer.detail = QStringLiteral("it took none of them");
        }
        qCInfo(Log::general, "The desktop's shortcuts portal bound no shortcuts: %s",
               qPrintable(answer.detail));
    }
    if (m_answered) {
        m_answered(answer);
    }
}

void PortalGlobalShortcuts::onActivated(const QDBusObjectPath& session, const QString& id,
                                        qulonglong, const QVariantMap&) {
    if (session.path() == m_session && m_activated) {
        m_activated(id);
    }
}

void PortalGlobalShortcuts::onShortcutsChanged(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).value<QDBusObjectPath>().path() != m_session) {
        return;
    }
    answer(assignedIn(arguments.at(1)));
}

} // namespace quorvale::platform
