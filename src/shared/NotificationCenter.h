#pragma once

#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace quorvale {

// In-process named notifications with a user-info map. Observers run on the GUI thread.
class NotificationCenter {
public:
    using Observer = std::function<void(const QVariantMap& userInfo)>;

    // Removes its observer when destroyed.
    class ObserverToken {
    public:
        ~ObserverToken();
        ObserverToken(const ObserverToken&) = delete;
        ObserverToken& operator=(const ObserverToken&) = delete;

    private:
        friend class NotificationCenter;
        ObserverToken(NotificationCenter& center, quint64 id)
            : m_center(center)
            , m_id(id) {}
        NotificationCenter& m_center;
        quint64 m_id;
    };

    static NotificationCenter& defaultCenter();

    [[nodiscard]] std::unique_ptr<ObserverToken> addObserver(const QString& name,
                                                             Observer observer);
    // Delivers at once on the GUI thread; from another thread, on its next turn.
    void post(const QString& name, const QVariantMap& userInfo = {});

private:
    struct Entry {
        quint64 id;
        QString name;
        std::shared_ptr<Observer> observer;
    };
    void deliver(const QString& name, const QVariantMap& userInfo);
    void remove(quint64 id);

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    quint64 m_nextId = 1;
};

} // namespace quorvale
