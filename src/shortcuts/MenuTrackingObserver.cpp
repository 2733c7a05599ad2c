#include "shortcuts/MenuTrackingObserver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

namespace GlobalShortcuts {

MenuTrackingObserver::MenuTrackingObserver(std::function<void()> began, std::function<void()> ended)
    : m_began(std::move(began))
    , m_ended(std::move(ended)) {
    if (auto* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
    }
}

MenuTrackingObserver::~MenuTrackingObserver() {
    if (auto* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

bool MenuTrackingObserver::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
        qobject_cast<QMenu*>(watched)) {
        if (event->type() == QEvent::Show) {
            opened(watched);
        } else {
            closed(watched);
        }
    }
    return false;
}

void MenuTrackingObserver::opened(QObject* menu) {
    if (m_openMenus.contains(menu)) {
        return;
    }
    const bool first = m_openMenus.isEmpty();
    // A menu deleted while open sends no hide event.
    m_openMenus.insert(menu,
                       connect(menu, &QObject::destroyed, this, [this, menu] { closed(menu); }));
    if (first) {
        m_began();
    }
}

void MenuTrackingObserver::closed(QObject* menu) {
    const auto found = m_openMenus.find(menu);
    if (found == m_openMenus.end()) {
        return;
    }
    disconnect(found.value());
    m_openMenus.erase(found);
    if (m_openMenus.isEmpty()) {
        m_ended();
    }
}

} // namespace GlobalShortcuts
