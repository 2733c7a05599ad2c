#pragma once

#include "shortcuts/Recorder.h"

#include <QList>
#include <QWidget>

namespace quorvale {

// One recorder for each of the app's four shortcuts.
class ShortcutsSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutsSettingsView(QWidget* parent = nullptr);

    const QList<GlobalShortcuts::Recorder*>& recorders() const { return m_recorders; }

private:
    QList<GlobalShortcuts::Recorder*> m_recorders;
};

} // namespace quorvale
