// Takes the desktop portal's name on the session bus. It answers every screenshot request with
// the given response code (1: cancelled by the user, 2: refused) and offers global shortcuts
// one of four ways: "bind" takes every shortcut asked for and assigns Ctrl+Shift+F1, F2, ...
// in the order asked; "bind-created" does the same with those CreateSession listed, as Plasma
// 5.27 does; "bind-nothing" takes none; "absent" has no such interface. Prints
// "ready" once it owns the name and "bind ID PREFERRED_TRIGGER" for each shortcut asked for;
// a line "activate ID" on its input presses that shortcut. Given a STORED answer ("no",
// "yes"), it also keeps the portal's permission store with that answer for screenshots of
// programs outside a sandbox, and prints "forgotten" when it is deleted.
//   stand-in-portal RESPONSE_CODE bind|bind-created|bind-nothing|absent [STORED]
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QSocketNotifier>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>
#include <map>
#include <unistd.h>

struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcut)

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

namespace {

const QString kPath = "/org/freedesktop/portal/desktop";

// The handle the portal gives a request or session of the caller: known to it in advance.
QString handle(const QDBusMessage& message, const char* kind, const QString& token) {
    QString sender = message.service().mid(1); // ":1.42" becomes "1_42"
    sender.replace('.', '_');
    return kPath + "/" + kind + "/" + sender + "/" + token;
}

// As from the real portal, the answer comes a moment after the reply with the handle.
QDBusObjectPath respondLater(QObject* context, const QDBusMessage& message,
                             const QVariantMap& options, uint response, QVariantMap results) {
    const QString path = handle(message, "request", options.value("handle_token", "t").toString());
    QTimer::singleShot(100, context, [path, response, results] {
        QDBusMessage signal =
            QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
        signal << response << results;
        QDBusConnection::sessionBus().send(signal);
    });
    return QDBusObjectPath(path);
}

class ScreenshotPortal : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
    Q_PROPERTY(uint version READ version)

public:
    ScreenshotPortal(QObject* parent, uint response)
        : QDBusAbstractAdaptor(parent)
        , m_response(response) {}
    uint version() const { return 2; }

public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options,
                               const QDBusMessage& message) {
        return respondLater(this, message, options, m_response, {});
    }

private:
    uint m_response;
};

class GlobalShortcutsPortal : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)

public:
    enum class Binding { asked, created, nothing };

    GlobalShortcutsPortal(QObject* parent, Binding binding)
        : QDBusAbstractAdaptor(parent)
        , m_binding(binding) {}
    uint version() const { return 1; }

    void activate(const QString& id) {
        for (const char* name : {"Activated", "Deactivated"}) {
            QDBusMessage signal =
                QDBusMessage::createSignal(kPath, "org.freedesktop.portal.GlobalShortcuts", name);
            signal << QVariant::fromValue(QDBusObjectPath(m_session)) << id << qulonglong(0)
                   << QVariantMap();
            QDBusConnection::sessionBus().send(signal);
        }
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message) {
        m_session =
            handle(message, "session", options.value("session_handle_token", "s").toString());
        m_created = qdbus_cast<QList<PortalShortcut>>(options.value("shortcuts"));
        return respondLater(this, message, options, 0, {{"session_handle", m_session}});
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session,
                                  const QList<PortalShortcut>& asked, const QString&,
                                  const QVariantMap& options, const QDBusMessage& message) {
        // Plasma 5.27 binds what CreateSession listed and ignores what BindShortcuts asks.
        const QList<PortalShortcut>& shortcuts = m_binding == Binding::created ? m_created : asked;
        QList<PortalShortcut> bound;
        for (const PortalShortcut& shortcut : shortcuts) {
            std::printf("bind %s %s\n", qPrintable(shortcut.id),
                        qPrintable(shortcut.properties.value("preferred_trigger").toString()));
            if (m_binding != Binding::nothing) {
                bound.append(
                    {shortcut.id,
                     {{"description", shortcut.properties.value("description")},
                      {"trigger_description", QString("Ctrl+Shift+F%1").arg(bound.size() + 1)}}});
            }
        }
        std::fflush(stdout);
        const bool known = session.path() == m_session;
        return respondLater(this, message, options, known ? 0 : 2,
                            {{"shortcuts", QVariant::fromValue(bound)}});
    }

private:
    Binding m_binding;
    QString m_session;
    QList<PortalShortcut> m_created;
};

class PermissionStore : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.impl.portal.PermissionStore")

public:
    PermissionStore(QObject* parent, QString stored)
        : QDBusAbstractAdaptor(parent)
        , m_stored(std::move(stored)) {}

public slots:
    void Lookup(const QString& table, const QString& id, const QDBusMessage& message) {
        if (table != "screenshot" || id != "screenshot" || m_stored.isEmpty()) {
            reply(message,
                  message.createErrorReply("org.freedesktop.portal.Error.NotFound", "No entry"));
            return;
        }
        const QMap<QString, QStringList> permissions{{"", {m_stored}}};
        reply(message, message.createReply({QVariant::fromValue(permissions),
                                            QVariant::fromValue(QDBusVariant(0))}));
    }

    void DeletePermission(const QString&, const QString&, const QString& app,
                          const QDBusMessage& message) {
        if (m_stored.isEmpty() || !app.isEmpty()) {
            reply(message,
                  message.createErrorReply("org.freedesktop.portal.Error.NotFound", "No entry"));
            return;
        }
        m_stored.clear();
        std::printf("forgotten\n");
        std::fflush(stdout);
    }

private:
    static void reply(const QDBusMessage& message, const QDBusMessage& answer) {
        message.setDelayedReply(true);
        QDBusConnection::sessionBus().send(answer);
    }

    QString m_stored;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString shortcuts = argc >= 3 ? QString::fromLatin1(argv[2]) : QString();
    const std::map<QString, GlobalShortcutsPortal::Binding> bindings{
        {"bind", GlobalShortcutsPortal::Binding::asked},
        {"bind-created", GlobalShortcutsPortal::Binding::created},
        {"bind-nothing", GlobalShortcutsPortal::Binding::nothing}};
    if (argc > 4 || (!bindings.contains(shortcuts) && shortcuts != "absent")) {
        std::fprintf(stderr, "usage: stand-in-portal RESPONSE_CODE "
                             "bind|bind-created|bind-nothing|absent [STORED]\n");
        return 2;
    }
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    qDBusRegisterMetaType<QMap<QString, QStringList>>();
    QObject root;
    new ScreenshotPortal(&root, QString::fromLatin1(argv[1]).toUInt());
    GlobalShortcutsPortal* globalShortcuts = nullptr;
    if (shortcuts != "absent") {
        globalShortcuts = new GlobalShortcutsPortal(&root, bindings.at(shortcuts));
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[512];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QString command = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (command.startsWith("activate ") && globalShortcuts) {
                globalShortcuts->activate(command.mid(9));
            }
        }
    });
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(kPath, &root) ||
        !bus.interface()->registerService("org.freedesktop.portal.Desktop",
                                          QDBusConnectionInterface::ReplaceExistingService,
                                          QDBusConnectionInterface::DontAllowReplacement)) {
        std::fprintf(stderr, "stand-in-portal: cannot take the portal's name\n");
        return 1;
    }
    QObject storeRoot;
    if (argc == 4) {
        new PermissionStore(&storeRoot, QString::fromLatin1(argv[3]));
        if (!bus.registerObject("/org/freedesktop/impl/portal/PermissionStore", &storeRoot) ||
            !bus.interface()->registerService("org.freedesktop.impl.portal.PermissionStore")) {
            std::fprintf(stderr, "stand-in-portal: cannot take the permission store's name\n");
            return 1;
        }
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "stand-in-portal.moc"
