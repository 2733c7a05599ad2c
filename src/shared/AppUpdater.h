#pragma once

#include "shared/UpdateFeed.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <optional>

namespace quorvale {

// The one updater of the process. On Linux it only announces releases, with a link to their
// page; it never downloads or installs anything.
class AppUpdater : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 15000;
    static constexpr int kMaxRedirects = 5;

    // Created on first use with the feed address compiled into the build.
    static AppUpdater& shared();

    explicit AppUpdater(const QUrl& feedUrl, const QString& currentVersion);

    // Why the updater could not start (no feed, not https); nothing when it started.
    const std::optional<QString>& startFailure() const { return m_startFailure; }
    bool isChecking() const { return m_reply != nullptr; }

    // A user-initiated check; its outcome is shown to the user in a dialog.
    void checkForUpdates();

    // Lets tests serve a feed over http on 127.0.0.1; every other http address stays refused.
    static void allowLoopbackHttpForTesting(bool allow);

signals:
    // After the outcome was shown.
    void checkFinished();

private:
    std::optional<QString> validateFeedUrl() const;
    void finishCheck(QNetworkReply* reply);
    void showRelease(const UpdateFeed::Release& release);
    void showMessage(const QString& message, const QString& informative);

    QUrl m_feedUrl;
    QString m_currentVersion;
    std::optional<QString> m_startFailure;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body; // what has arrived of the feed, never more than one byte past the limit
    bool m_bodyTooLarge = false;
};

} // namespace quorvale
