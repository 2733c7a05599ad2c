#pragma once

#include <QByteArray>
#include <QVariant>
#include <QVariantMap>
#include <optional>

namespace quorvale::platform {

// JSON text <-> QVariant that keeps integers (qlonglong) and doubles apart, which
// QJsonDocument does not: it reads "1.0" as an integer and writes 1.0 as "1".
// Arrays of strings read as QStringList, other arrays as QVariantList, null as nullptr.
class TypedJsonCodec {
public:
    // The object at the root of a UTF-8 JSON text; nothing if the text is not exactly that.
    static std::optional<QVariantMap> parseObject(const QByteArray& text);
    // Pretty-printed, one top-level key per line, keys sorted.
    static QByteArray serializeObject(const QVariantMap& object);
    // The form a value takes after a round trip through the file; nothing for values
    // JSON cannot hold (dates, byte arrays, ...).
    static std::optional<QVariant> normalized(const QVariant& value);
};

} // namespace quorvale::platform
