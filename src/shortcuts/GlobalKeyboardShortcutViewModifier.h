#pragma once

#include "shared/NotificationCenter.h"
#include "shortcuts/Name.h"

#include <QObject>
#include <memory>

class QAction;

namespace GlobalShortcuts {

// Gives an action the in-window key sequence of a name's stored shortcut, follows changes to
// it, and takes it away while any recorder records (so the keys reach the recorder).
class GlobalKeyboardShortcutViewModifier : public QObject {
    Q_OBJECT
public:
    GlobalKeyboardShortcutViewModifier(QAction* action, const Name& name);

    bool isRecorderActive() const { return m_isRecorderActive; }

private:
    void apply();

    QAction* m_action;
    Name m_name;
    bool m_isRecorderActive = false;
    std::unique_ptr<quorvale::NotificationCenter::ObserverToken> m_nameObserver;
    std::unique_ptr<quorvale::NotificationCenter::ObserverToken> m_recorderObserver;
};

// Binds the action to the name for the action's lifetime.
GlobalKeyboardShortcutViewModifier* shortcutBinding(QAction* action, const Name& name);

} // namespace GlobalShortcuts
