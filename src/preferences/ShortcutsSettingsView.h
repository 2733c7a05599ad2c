#pragma once

#include "shared/NotificationCenter.h"
#include "shortcuts/Recorder.h"

#include <QList>
#include <QWidget>
#include <memory>

class QLabel;

namespace quorvale {

// One recorder for each of the app's four shortcuts; where the desktop binds shortcuts itself,
// the keys it assigned instead.
class ShortcutsSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutsSettingsView(QWidget* parent = nullptr);

    const QList<GlobalShortcuts::Recorder*>& recorders() const { return m_recorders; }

private:
    // Shows what the desktop's latest answer allows.
    void showDesktopBinding();

    QList<GlobalShortcuts::Recorder*> m_recorders;
    QWidget* m_recording = nullptr;
    QLabel* m_asking = nullptr;
    QWidget* m_assigned = nullptr;
    QList<QLabel*> m_triggers;
    QWidget* m_unavailable = nullptr;
    std::unique_ptr<NotificationCenter::ObserverToken> m_bindingObserver;
};

} // namespace quorvale
