#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <optional>

namespace quorvale::platform {

// Per-user key/value settings with an in-memory registration domain. Values are
// Booleans, integers, doubles, strings and lists. Safe to use from any thread.
class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;

    // Registered values are fallbacks kept in memory only; a stored value always wins.
    virtual void registerDefaults(const QVariantMap& defaults) = 0;
    // The stored value, else the registered one, else an invalid QVariant.
    virtual QVariant objectForKey(const QString& key) const = 0;
    virtual void setObject(const QVariant& value, const QString& key) = 0;
    // Once, a sentence for the user when stored settings could not be read and were set aside.
    virtual std::optional<QString> takeRecoveryNotice() { return std::nullopt; }

    // Typed reads. A value of another kind counts as absent.
    bool boolForKey(const QString& key) const;
    std::optional<QString> stringForKey(const QString& key) const;
    std::optional<QStringList> stringListForKey(const QString& key) const;
};

} // namespace quorvale::platform
