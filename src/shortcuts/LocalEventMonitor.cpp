#include "shortcuts/LocalEventMonitor.h"

#include <QCoreApplication>

namespace GlobalShortcuts {

LocalEventMonitor::LocalEventMonitor(QSet<QEvent::Type> events, Callback callback)
    : m_events(std::move(events))
    , m_callback(std::move(callback)) {
    QCoreApplication::instance()->installEventFilter(this);
}

LocalEventMonitor::~LocalEventMonitor() {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool LocalEventMonitor::eventFilter(QObject* watched, QEvent* event) {
    return m_events.contains(event->type()) && m_callback && m_callback(watched, event);
}

} // namespace GlobalShortcuts
