#pragma once

#include "platform/StatusItem.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

namespace quorvale::platform {

// A tray icon drawn by the tray host (StatusNotifier); drops cannot reach it.
class QtStatusItem : public QObject, public StatusItem {
    Q_OBJECT
public:
    QtStatusItem();
    ~QtStatusItem() override;

    void setIcon(const QIcon& icon) override { m_trayIcon.setIcon(icon); }
    void setToolTip(const QString& text) override { m_trayIcon.setToolTip(text); }
    void setMenu(QMenu* menu) override;
    void setVisible(bool visible) override { m_trayIcon.setVisible(visible); }
    bool isShown() const override;
    QWidget* button() const override { return nullptr; }

private:
    QSystemTrayIcon m_trayIcon;
    QPointer<QMenu> m_menu;
};

} // namespace quorvale::platform
