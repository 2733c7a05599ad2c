#include "app/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

namespace quorvale {

MainMenu::MainMenu(QObject* parent)
    : QObject(parent) {
    m_quit = new QAction(QCoreApplication::translate("MainMenu", "Quit"), this);
    m_quit->setShortcut(QKeySequence::Quit);
    m_quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    addEditAction(QCoreApplication::translate("MainMenu", "Undo"), "undo", QKeySequence::Undo);
    addEditAction(QCoreApplication::translate("MainMenu", "Redo"), "redo", QKeySequence::Redo);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_edit.append(separator);
    addEditAction(QCoreApplication::translate("MainMenu", "Cut"), "cut", QKeySequence::Cut);
    addEditAction(QCoreApplication::translate("MainMenu", "Copy"), "copy", QKeySequence::Copy);
    addEditAction(QCoreApplication::translate("MainMenu", "Paste"), "paste", QKeySequence::Paste);
    addEditAction(QCoreApplication::translate("MainMenu", "Select All"), "selectAll",
                  QKeySequence::SelectAll);
}

QAction* MainMenu::addEditAction(const QString& title, const char* slot, const QKeySequence& keys) {
    auto* action = new QAction(title, this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    // Text widgets claim these keys first; the action reaches whatever else has focus.
    connect(action, &QAction::triggered, this, [slot] {
        if (QWidget* focus = QApplication::focusWidget()) {
            QMetaObject::invokeMethod(focus, slot);
        }
    });
    m_edit.append(action);
    return action;
}

void MainMenu::attachTo(QWidget* window) const {
    window->addAction(m_quit);
    window->addActions(m_edit);
}

} // namespace quorvale
