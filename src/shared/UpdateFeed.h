#pragma once

#include "common/Result.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

namespace quorvale {

// The release feed: one small JSON object naming the newest release.
class UpdateFeed {
public:
    static constexpr qint64 kMaxBytes = 256 * 1024;

    struct Release {
        QString version;
        QString date;
        QString notes;
        QUrl page;
    };
    using ParseResult = Result<Release, QString>;

    static ParseResult parse(const QByteArray& json);
    // Negative, zero or positive as a is older than, the same as or newer than b; nothing
    // when either is not a version ("1.2", "1.2.3-rc1"; numbers of any length).
    static std::optional<int> compareVersions(const QString& a, const QString& b);
};

} // namespace quorvale
