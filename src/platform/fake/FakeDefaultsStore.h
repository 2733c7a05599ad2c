#pragma once

#include "platform/DefaultsStore.h"

#include <mutex>

namespace quorvale::platform {

class FakeDefaultsStore : public DefaultsStore {
public:
    void registerDefaults(const QVariantMap& defaults) override {
        std::lock_guard lock(m_mutex);
        for (auto it = defaults.begin(); it != defaults.end(); ++it) {
            m_registered.insert(it.key(), it.value());
        }
    }
    QVariant objectForKey(const QString& key) const override {
        std::lock_guard lock(m_mutex);
        return m_stored.contains(key) ? m_stored.value(key) : m_registered.value(key);
    }
    void setObject(const QVariant& value, const QString& key) override {
        std::lock_guard lock(m_mutex);
        m_stored.insert(key, value);
        ++writeCount;
    }
    QVariantMap stored() const {
        std::lock_guard lock(m_mutex);
        return m_stored;
    }

    int writeCount = 0;

private:
    mutable std::mutex m_mutex;
    QVariantMap m_registered;
    QVariantMap m_stored;
};

} // namespace quorvale::platform
