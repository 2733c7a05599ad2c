#pragma once

#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <functional>

namespace GlobalShortcuts {

// Tells when the first of the application's menus opens and when the last one closes.
class MenuTrackingObserver : public QObject {
    Q_OBJECT
public:
    MenuTrackingObserver(std::function<void()> began, std::function<void()> ended);
    ~MenuTrackingObserver() override;

    bool isTracking() const { return !m_openMenus.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void opened(QObject* menu);
    void closed(QObject* menu);

    std::function<void()> m_began;
    std::function<void()> m_ended;
    // Each open menu with the connection that notices its deletion.
    QHash<QObject*, QMetaObject::Connection> m_openMenus;
};

} // namespace GlobalShortcuts
