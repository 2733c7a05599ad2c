#include "app/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace quorvale {

MainMenu::MainMenu(QObject* parent)
    : QObject(parent) {
    m_quit = new QAction(QStringLiteral("Quit"), this);
    m_quit->setShortcut(QKeySequence::Quit);
    m_quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    addEditAction(QStringLiteral("Undo"), "undo", QKeySequence::Undo);
    addEditAction(QStringLiteral("Redo"), "redo", QKeySequence::Redo);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_edit.append(separator);
    addEditAction(QStringLiteral("Cut"), "cut", QKeySequence::Cut);
    addEditAction(QStringLiteral("Copy"), "copy", QKeySequence::Copy);
    addEditAction(QStringLiteral("Paste"), "paste", QKeySequence::Paste);
    addEditAction(QStringLiteral("Select All"), "selectAll", QKeySequence::SelectAll);
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
