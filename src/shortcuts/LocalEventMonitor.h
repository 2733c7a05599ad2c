#pragma once

#include <QEvent>
#include <QObject>
#include <QSet>
#include <functional>

namespace GlobalShortcuts {

// Sees the application's events of the given types before their receivers do, for as long
// as it lives. The callback answers true to swallow the event.
class LocalEventMonitor : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<bool(QObject* receiver, QEvent* event)>;

    LocalEventMonitor(QSet<QEvent::Type> events, Callback callback);
    ~LocalEventMonitor() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSet<QEvent::Type> m_events;
    Callback m_callback;
};

} // namespace GlobalShortcuts
