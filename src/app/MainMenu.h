#pragma once

#include <QList>
#include <QObject>

class QAction;
class QWidget;

namespace quorvale {

// Quit and the Edit commands as application-wide actions. Linux has no global menu bar,
// so the actions are attached to each of the app's windows.
class MainMenu : public QObject {
    Q_OBJECT
public:
    explicit MainMenu(QObject* parent = nullptr);

    QAction* quitAction() const { return m_quit; }
    const QList<QAction*>& editActions() const { return m_edit; }
    void attachTo(QWidget* window) const;

private:
    QAction* addEditAction(const QString& title, const char* slot, const QKeySequence& keys);

    QAction* m_quit = nullptr;
    QList<QAction*> m_edit;
};

} // namespace quorvale
