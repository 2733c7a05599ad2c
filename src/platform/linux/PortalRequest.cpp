#include "platform/linux/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <atomic>

namespace quorvale::platform {
namespace {

const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// A desktop that asks the user waits for an answer; one that never answers must not leave
// the caller waiting for good.
constexpr int kGiveUpMs = 120 * 1000;

// Where the portal will put the request object: known before the call, so its answer cannot
// arrive before we listen.
QString predictedRequestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService();
    sender.remove(0, 1).replace(u'.', u'_');
    return PortalRequest::kPath + QStringLiteral("/request/") + sender + u'/' + token;
}

} // namespace

const QString PortalRequest::kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalRequest::kPath = QStringLiteral("/org/freedesktop/portal/desktop");

QString PortalRequest::nextToken() {
    static std::atomic<int> counter{0};
    return QStringLiteral("quorvale%1").arg(++counter);
}

PortalRequest::PortalRequest(const QDBusConnection& bus, Completion completion)
    : m_bus(bus)
    , m_completion(std::move(completion)) {}

void PortalRequest::send(const QDBusConnection& bus, const QString& interface,
                         const QString& method, const QVariantList& arguments, QVariantMap options,
                         Completion completion) {
    auto* request = new PortalRequest(bus, std::move(completion));
    request->start(interface, method, arguments, std::move(options));
}

void PortalRequest::listenOn(const QString& path) {
    if (!m_listeningPath.isEmpty()) {
        m_bus.disconnect(kService, m_listeningPath, kRequest, QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
    }
    m_listeningPath = path;
    m_bus.connect(kService, path, kRequest, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::start(const QString& interface, const QString& method,
                          const QVariantList& arguments, QVariantMap options) {
    if (!m_bus.isConnected()) {
        // Still never from inside the call: callers may not be ready for their answer yet.
        QTimer::singleShot(0, this, [this] {
            finish({Answer::Status::callFailed, 2, {}, tr("there is no session bus")});
        });
        return;
    }
    const QString token = nextToken();
    options.insert(QStringLiteral("handle_token"), token);
    listenOn(predictedRequestPath(m_bus, token));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(arguments + QVariantList{options});
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* self) {
                self->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *self;
                if (reply.isError()) {
                    finish({Answer::Status::callFailed, 2, {}, reply.error().message()});
                    return;
                }
                // Portals older than the handle_token convention choose the path themselves.
                if (const QString path = reply.value().path(); path != m_listeningPath) {
                    listenOn(path);
                }
            });
    QTimer::singleShot(kGiveUpMs, this, [this] { finish({Answer::Status::timedOut, 2, {}, {}}); });
}

void PortalRequest::onResponse(uint response, const QVariantMap& results) {
    finish({Answer::Status::answered, response, results, {}});
}

void PortalRequest::finish(Answer answer) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    if (!m_listeningPath.isEmpty()) {
        m_bus.disconnect(kService, m_listeningPath, kRequest, QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
    }
    Completion completion = std::move(m_completion);
    deleteLater();
    if (completion) {
        completion(std::move(answer));
    }
}

} // namespace quorvale::platform
