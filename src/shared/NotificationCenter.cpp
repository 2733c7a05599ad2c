#include "shared/NotificationCenter.h"

#include "platform/Platform.h"

#include <algorithm>

namespace quorvale {

NotificationCenter::ObserverToken::~ObserverToken() {
    m_center.remove(m_id);
}

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

std::unique_ptr<NotificationCenter::ObserverToken>
NotificationCenter::addObserver(const QString& name, Observer observer) {
    std::lock_guard lock(m_mutex);
    const quint64 id = m_nextId++;
    m_entries.push_back({id, name, std::make_shared<Observer>(std::move(observer))});
    return std::unique_ptr<ObserverToken>(new ObserverToken(*this, id));
}

void NotificationCenter::post(const QString& name, const QVariantMap& userInfo) {
    const auto& mainQueue = platform::current().mainQueue;
    if (mainQueue && !mainQueue->isMainThread()) {
        mainQueue->async([this, name, userInfo] { deliver(name, userInfo); });
        return;
    }
    deliver(name, userInfo);
}

void NotificationCenter::deliver(const QString& name, const QVariantMap& userInfo) {
    std::vector<std::pair<quint64, std::shared_ptr<Observer>>> matching;
    {
        std::lock_guard lock(m_mutex);
        for (const Entry& entry : m_entries) {
            if (entry.name == name) {
                matching.emplace_back(entry.id, entry.observer);
            }
        }
    }
    for (const auto& [id, observer] : matching) {
        bool stillRegistered = false;
        {
            std::lock_guard lock(m_mutex);
            stillRegistered = std::any_of(m_entries.begin(), m_entries.end(),
                                          [id = id](const Entry& e) { return e.id == id; });
        }
        // An earlier observer may have removed this one.
        if (stillRegistered) {
            (*observer)(userInfo);
        }
    }
}

void NotificationCenter::remove(quint64 id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [id](const Entry& entry) { return entry.id == id; });
}

} // namespace quorvale
