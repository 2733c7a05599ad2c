#include "shared/UpdateFeed.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace quorvale {
namespace {

constexpr qsizetype kMaxVersionLength = 64;
constexpr qsizetype kMaxNotesLength = 4000;

struct Version {
    QStringList numbers; // without leading zeros
    QString preRelease;
};

std::optional<Version> parseVersion(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^v?(\\d+(?:\\.\\d+){0,3})(?:-([0-9A-Za-z.]+))?$"));
    if (text.size() > kMaxVersionLength) {
        return std::nullopt;
    }
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    Version version;
    for (QString number : match.captured(1).split(u'.')) {
        while (number.size() > 1 && number.startsWith(u'0')) {
            number.remove(0, 1);
        }
        version.numbers.append(number);
    }
    version.preRelease = match.captured(2);
    return version;
}

// Digit strings of any length, without leading zeros.
int compareNumbers(const QString& a, const QString& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

std::optional<int> UpdateFeed::compareVersions(const QString& a, const QString& b) {
    const auto left = parseVersion(a);
    const auto right = parseVersion(b);
    if (!left || !right) {
        return std::nullopt;
    }
    const qsizetype count = qMax(left->numbers.size(), right->numbers.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QString x = left->numbers.value(i, QStringLiteral("0"));
        const QString y = right->numbers.value(i, QStringLiteral("0"));
        if (const int order = compareNumbers(x, y)) {
            return sign(order);
        }
    }
    // A pre-release comes before its release.
    if (left->preRelease.isEmpty() != right->preRelease.isEmpty()) {
        return left->preRelease.isEmpty() ? 1 : -1;
    }
    return sign(left->preRelease.compare(right->preRelease));
}

UpdateFeed::ParseResult UpdateFeed::parse(const QByteArray& json) {
    auto fail = [](const QString& why) { return ParseResult::failure(why); };
    if (json.size() > kMaxBytes) {
        return fail(QStringLiteral("the feed is larger than %1 KB").arg(kMaxBytes / 1024));
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return fail(QStringLiteral("the feed is not a JSON object"));
    }
    const QJsonObject object = document.object();
    const auto text = [&object](const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
    };
    Release release;
    const auto version = text("version");
    if (!version || !compareVersions(*version, *version)) {
        return fail(QStringLiteral("the feed has no valid \"version\""));
    }
    release.version = *version;
    release.date = text("date").value_or(QString()).left(kMaxVersionLength);
    release.notes = text("notes").value_or(QString()).left(kMaxNotesLength);
    const auto page = text("page");
    release.page = page ? QUrl(*page, QUrl::StrictMode) : QUrl();
    if (!release.page.isValid() || release.page.scheme() != QStringLiteral("https") ||
        release.page.host().isEmpty()) {
        return fail(QStringLiteral("the feed's \"page\" is not an https:// address"));
    }
    return ParseResult::success(std::move(release));
}

} // namespace quorvale
