#include "shared/AppUpdater.h"

#include "common/BuildInfo.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <cstdio>
#include <memory>
#include <utility>

namespace quorvale {
namespace {

bool g_allowLoopbackHttp = false;

} // namespace

AppUpdater& AppUpdater::shared() {
    static AppUpdater* instance = new AppUpdater(QUrl(QString::fromUtf8(build::kUpdateFeedUrl)),
                                                 QString::fromLatin1(build::kVersion));
    return *instance;
}

void AppUpdater::allowLoopbackHttpForTesting(bool allow) {
    g_allowLoopbackHttp = allow;
}

AppUpdater::AppUpdater(const QUrl& feedUrl, const QString& currentVersion)
    : m_feedUrl(feedUrl)
    , m_currentVersion(currentVersion) {
    m_startFailure = validateFeedUrl();
    if (m_startFailure) {
        std::fputs(
            qPrintable(QStringLiteral("Failed to start updater: ") + *m_startFailure + u'\n'),
            stdout);
        std::fflush(stdout);
    }
}

std::optional<QString> AppUpdater::validateFeedUrl() const {
    if (m_feedUrl.isEmpty()) {
        return tr("this build has no update feed configured");
    }
    if (!m_feedUrl.isValid() || m_feedUrl.host().isEmpty()) {
        return tr("the update feed address \"%1\" is not valid").arg(m_feedUrl.toString());
    }
    const bool loopbackHttp = g_allowLoopbackHttp && m_feedUrl.scheme() == u"http" &&
                              QHostAddress(m_feedUrl.host()).isLoopback();
    if (m_feedUrl.scheme() != u"https" && !loopbackHttp) {
        return tr("the update feed address \"%1\" is not an https:// address")
            .arg(m_feedUrl.toString());
    }
    return std::nullopt;
}

void AppUpdater::checkForUpdates() {
    if (m_reply) {
        return; // the running check will answer
    }
    if (const auto failure = validateFeedUrl()) {
        showMessage(tr("Cannot check for updates"),
                    tr("Quorvale cannot check for updates: %1.").arg(*failure));
        emit checkFinished();
        return;
    }
    QNetworkRequest request(m_feedUrl);
    // Never from https to http, and a loop ends after a few hops.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(kTimeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Quorvale/%1").arg(m_currentVersion));
    m_body.clear();
    m_bodyTooLarge = false;
    QNetworkReply* reply = m_network.get(request);
    m_reply = reply;
    // Taken out as it arrives and cut off past the limit, so a huge answer is never held in
    // memory. A capped read buffer instead could stall just short of the limit.
    auto checkSize = [this, reply] {
        if (m_bodyTooLarge) {
            return;
        }
        m_body += reply->read(UpdateFeed::kMaxBytes + 1 - m_body.size());
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (m_body.size() > UpdateFeed::kMaxBytes ||
            (length.isValid() && length.toLongLong() > UpdateFeed::kMaxBytes)) {
            m_bodyTooLarge = true;
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, checkSize);
    connect(reply, &QNetworkReply::readyRead, this, checkSize);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finishCheck(reply); });
}

void AppUpdater::finishCheck(QNetworkReply* reply) {
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> owned(
        reply, [](QNetworkReply* r) { r->deleteLater(); });
    m_reply = nullptr;
    QByteArray body = std::exchange(m_body, {});
    body += reply->read(UpdateFeed::kMaxBytes + 1 - body.size());
    const QString failed = tr("Cannot check for updates");
    if (m_bodyTooLarge || body.size() > UpdateFeed::kMaxBytes) {
        showMessage(failed,
                    tr("The update feed is larger than %1 KB.").arg(UpdateFeed::kMaxBytes / 1024));
    } else if (reply->error() == QNetworkReply::TooManyRedirectsError) {
        showMessage(failed, tr("The update feed redirects too often (a redirect loop?)."));
    } else if (reply->error() == QNetworkReply::InsecureRedirectError) {
        showMessage(failed, tr("The update feed redirects to an address that is not https://."));
    } else if (reply->error() != QNetworkReply::NoError) {
        showMessage(failed,
                    tr("The update feed could not be fetched: %1.").arg(reply->errorString()));
    } else if (const int status =
                   reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
               status != 200) {
        showMessage(failed, tr("The update feed answered with HTTP status %1.").arg(status));
    } else {
        const UpdateFeed::ParseResult parsed = UpdateFeed::parse(body);
        if (!parsed.isSuccess()) {
            showMessage(failed, tr("The update feed is malformed: %1.").arg(parsed.error()));
        } else {
            showRelease(parsed.value());
        }
    }
    emit checkFinished();
}

void AppUpdater::showRelease(const UpdateFeed::Release& release) {
    const auto order = UpdateFeed::compareVersions(release.version, m_currentVersion);
    if (!order || *order <= 0) {
        showMessage(tr("You're up to date"),
                    tr("Quorvale %1 is the newest version.").arg(m_currentVersion));
        return;
    }
    platform::AlertRequest alert;
    alert.style = platform::AlertRequest::Style::informational;
    alert.messageText = tr("Quorvale %1 is available").arg(release.version);
    QString details = tr("You have version %1.").arg(m_currentVersion);
    if (!release.date.isEmpty()) {
        details += u' ' + tr("Released %1.").arg(release.date);
    }
    if (!release.notes.isEmpty()) {
        details += QStringLiteral("\n\n") + release.notes;
    }
    details += QStringLiteral("\n\n") + release.page.toString();
    alert.informativeText = details;
    alert.buttons = {tr("Open Release Page"), tr("Later")};
    const auto& current = platform::current();
    if (current.alerts->runModal(alert) == platform::ModalAlerts::kFirstButtonResponse) {
        current.urlOpener->openUrl(release.page);
    }
}

void AppUpdater::showMessage(const QString& message, const QString& informative) {
    platform::AlertRequest alert;
    alert.style = platform::AlertRequest::Style::informational;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {tr("OK")};
    platform::current().alerts->runModal(alert);
}

} // namespace quorvale
