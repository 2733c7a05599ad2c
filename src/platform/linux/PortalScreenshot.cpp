#include "platform/linux/PortalScreenshot.h"

#include "common/LogCategories.h"
#include "platform/linux/PortalRequest.h"

#include <QFile>
#include <QFutureWatcher>
#include <QImageReader>
#include <QUrl>
#include <QtConcurrent>

namespace quorvale::platform {

void PortalScreenshot::take(bool interactive, Completion completion) {
    using Answer = PortalRequest::Answer;
    PortalRequest::send(
        QDBusConnection::sessionBus(), QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"), {QString()}, // no parent window to attach a dialog to
        {{QStringLiteral("interactive"), interactive}, {QStringLiteral("modal"), interactive}},
        [completion = std::move(completion)](Answer answer) {
            switch (answer.status) {
            case Answer::Status::callFailed:
                completion({Outcome::Status::failed,
                            {},
                            tr("The desktop offers no screenshot service (%1)").arg(answer.error)});
                return;
            case Answer::Status::timedOut:
                completion({Outcome::Status::failed,
                            {},
                            tr("The desktop did not answer the screenshot request")});
                return;
            case Answer::Status::answered:
                break;
            }
            if (answer.response != 0) {
                // 1: the user cancelled the desktop's dialog; 2: refused or ended otherwise.
                qCInfo(Log::camera, "The screenshot portal answered %u", answer.response);
                completion({Outcome::Status::declined, {}, {}, answer.response});
                return;
            }
            const QUrl uri(answer.results.value(QStringLiteral("uri")).toString());
            if (!uri.isLocalFile()) {
                completion({Outcome::Status::failed,
                            {},
                            tr("The desktop's screenshot is not a local file")});
                return;
            }
            read(uri.toLocalFile(), completion);
        });
}

void PortalScreenshot::read(const QString& path, Completion completion) {
    struct Read {
        QImage image;
        QString error;
        bool removed = false;
    };
    // A picture of every screen: decoded off the GUI thread, which is about to paint overlays.
    auto* watcher = new QFutureWatcher<Read>();
    QObject::connect(
        watcher, &QFutureWatcher<Read>::finished, watcher,
        [watcher, completion = std::move(completion)] {
            watcher->deleteLater();
            Read read = watcher->result();
            if (!read.removed) {
                qCWarning(Log::camera, "The desktop's screenshot file could not be removed");
            }
            if (read.image.isNull()) {
                completion({Outcome::Status::failed,
                            {},
                            tr("The desktop's screenshot cannot be read: %1").arg(read.error)});
                return;
            }
            completion({Outcome::Status::taken, std::move(read.image), {}});
        });
    watcher->setFuture(QtConcurrent::run([path] {
        QImageReader reader(path);
        Read read{reader.read(), reader.errorString()};
        // Written for this request alone: nothing of the user's screen stays behind on disk.
        read.removed = QFile::remove(path);
        return read;
    }));
}

} // namespace quorvale::platform
