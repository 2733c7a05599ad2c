#include "platform/linux/PortalScreenshot.h"

#include "common/LogCategories.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QFutureWatcher>
#include <QImageReader>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>
#include <atomic>

namespace quorvale::platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// A desktop that asks the user waits for an answer; one that never answers must not leave
// the capture hanging for good.
constexpr int kGiveUpMs = 120 * 1000;

QString nextToken() {
    static std::atomic<int> counter{0};
    return QStringLiteral("quorvale%1").arg(++counter);
}

// Where the portal will put the request object: known before the call, so its answer cannot
// arrive before we listen.
QString predictedRequestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService();
    sender.remove(0, 1).replace(u'.', u'_');
    return kPath + QStringLiteral("/request/") + sender + u'/' + token;
}

} // namespace

PortalScreenshot::PortalScreenshot(Completion completion)
    : m_completion(std::move(completion)) {}

void PortalScreenshot::take(bool interactive, Completion completion) {
    auto* request = new PortalScreenshot(std::move(completion));
    request->start(interactive);
}

void PortalScreenshot::listenOn(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_listeningPath.isEmpty()) {
        bus.disconnect(kService, m_listeningPath, kRequest, QStringLiteral("Response"), this,
                       SLOT(onResponse(uint, QVariantMap)));
    }
    m_listeningPath = path;
    bus.connect(kService, path, kRequest, QStringLiteral("Response"), this,
                SLOT(onResponse(uint, QVariantMap)));
}

void PortalScreenshot::start(bool interactive) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        finish({Outcome::Status::failed, {}, tr("There is no session bus to reach the desktop")});
        return;
    }
    const QString token = nextToken();
    listenOn(predictedRequestPath(bus, token));
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString() // no parent window to attach a dialog to
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), interactive},
                        {QStringLiteral("modal"), interactive}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* self) {
                self->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *self;
                if (reply.isError()) {
                    finish({Outcome::Status::failed,
                            {},
                            tr("The desktop offers no screenshot service (%1)")
                                .arg(reply.error().message())});
                    return;
                }
                // Portals older than the handle_token convention choose the path themselves.
                if (const QString path = reply.value().path(); path != m_listeningPath) {
                    listenOn(path);
                }
            });
    QTimer::singleShot(kGiveUpMs, this, [this] {
        finish(
            {Outcome::Status::failed, {}, tr("The desktop did not answer the screenshot request")});
    });
}

void PortalScreenshot::onResponse(uint response, const QVariantMap& results) {
    if (response != 0) {
        // 1: the user cancelled the desktop's dialog; 2: refused or ended otherwise.
        qCInfo(Log::camera, "The screenshot portal answered %u", response);
        finish({Outcome::Status::declined, {}, {}, response});
        return;
    }
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile()) {
        finish({Outcome::Status::failed, {}, tr("The desktop's screenshot is not a local file")});
        return;
    }
    struct Read {
        QImage image;
        QString error;
        bool removed = false;
    };
    // A picture of every screen: decoded off the GUI thread, which is about to paint overlays.
    auto* watcher = new QFutureWatcher<Read>(this);
    connect(watcher, &QFutureWatcher<Read>::finished, this, [this, watcher] {
        Read read = watcher->result();
        if (!read.removed) {
            qCWarning(Log::camera, "The desktop's screenshot file could not be removed");
        }
        if (read.image.isNull()) {
            finish({Outcome::Status::failed,
                    {},
                    tr("The desktop's screenshot cannot be read: %1").arg(read.error)});
            return;
        }
        finish({Outcome::Status::taken, std::move(read.image), {}});
    });
    watcher->setFuture(QtConcurrent::run([path = uri.toLocalFile()] {
        QImageReader reader(path);
        Read read{reader.read(), reader.errorString()};
        // Written for this request alone: nothing of the user's screen stays behind on disk.
        read.removed = QFile::remove(path);
        return read;
    }));
}

void PortalScreenshot::finish(Outcome outcome) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (!m_listeningPath.isEmpty()) {
        QDBusConnection::sessionBus().disconnect(kService, m_listeningPath, kRequest,
                                                 QStringLiteral("Response"), this,
                                                 SLOT(onResponse(uint, QVariantMap)));
    }
    Completion completion = std::move(m_completion);
    deleteLater();
    if (completion) {
        completion(std::move(outcome));
    }
}

} // namespace quorvale::platform
