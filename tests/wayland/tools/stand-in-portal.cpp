// Takes the desktop portal's name on the session bus and answers every screenshot request
// with the given response code (1: cancelled by the user, 2: refused). Prints "ready" once
// it owns the name.
//   refusing-portal RESPONSE_CODE
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>

namespace {

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
    QDBusObjectPath Screenshot(const QString& parentWindow, const QVariantMap& options,
                               const QDBusMessage& message) {
        Q_UNUSED(parentWindow);
        QString sender = message.service().mid(1); // ":1.42" becomes "1_42"
        sender.replace('.', '_');
        const QString token = options.value("handle_token", "t").toString();
        const QString path = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
        // As from the real portal, the answer comes a moment after the reply with the handle.
        QTimer::singleShot(100, this, [this, path] {
            QDBusMessage response =
                QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
            response << m_response << QVariantMap();
            QDBusConnection::sessionBus().send(response);
        });
        return QDBusObjectPath(path);
    }

private:
    uint m_response;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: refusing-portal RESPONSE_CODE\n");
        return 2;
    }
    QObject root;
    new ScreenshotPortal(&root, QString::fromLatin1(argv[1]).toUInt());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject("/org/freedesktop/portal/desktop", &root) ||
        !bus.interface()->registerService("org.freedesktop.portal.Desktop",
                                          QDBusConnectionInterface::ReplaceExistingService,
                                          QDBusConnectionInterface::DontAllowReplacement)) {
        std::fprintf(stderr, "refusing-portal: cannot take the portal's name\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "refusing-portal.moc"
