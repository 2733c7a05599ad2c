#include "platform/linux/QtStatusItem.h"

#include <QCursor>
#include <QMenu>

namespace quorvale::platform {

QtStatusItem::QtStatusItem() {
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && m_menu) {
                    m_menu->popup(QCursor::pos());
                }
            });
}

QtStatusItem::~QtStatusItem() {
    m_trayIcon.hide();
}

void QtStatusItem::setMenu(QMenu* menu) {
    m_menu = menu;
    m_trayIcon.setContextMenu(menu);
}

bool QtStatusItem::isShown() const {
    return m_trayIcon.isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace quorvale::platform
