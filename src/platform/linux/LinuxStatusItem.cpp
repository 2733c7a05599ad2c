#include "platform/linux/LinuxStatusItem.h"

#include <QSystemTrayIcon>

namespace quorvale::platform {

LinuxStatusItem::LinuxStatusItem()
    : m_docked(std::make_unique<XEmbedStatusItem>()) {
    m_docked->onDockedChanged = [this](bool docked) { follow(docked); };
}

LinuxStatusItem::~LinuxStatusItem() {
    m_docked->onDockedChanged = nullptr;
}

void LinuxStatusItem::setIcon(const QIcon& icon) {
    m_icon = icon;
    m_docked->setIcon(icon);
    if (m_hosted) {
        m_hosted->setIcon(icon);
    }
}

void LinuxStatusItem::setToolTip(const QString& text) {
    m_toolTip = text;
    m_docked->setToolTip(text);
    if (m_hosted) {
        m_hosted->setToolTip(text);
    }
}

void LinuxStatusItem::setMenu(QMenu* menu) {
    m_menu = menu;
    m_docked->setMenu(menu);
    if (m_hosted) {
        m_hosted->setMenu(menu);
    }
}

void LinuxStatusItem::setVisible(bool visible) {
    m_visible = visible;
    m_docked->setVisible(visible);
    follow(m_docked->isShown());
}

bool LinuxStatusItem::isShown() const {
    return m_docked->isShown() || (m_hosted && m_hosted->isShown());
}

void LinuxStatusItem::follow(bool docked) {
    // Without a StatusNotifier host Qt would dock an icon of its own into the next XEmbed tray,
    // beside ours, and that tray then lays ours out badly: wait for that tray instead.
    if (docked || !m_visible || !QSystemTrayIcon::isSystemTrayAvailable()) {
        m_hosted.reset(); // one icon at a time
        return;
    }
    if (!m_hosted) {
        m_hosted = std::make_unique<QtStatusItem>();
        m_hosted->setIcon(m_icon);
        m_hosted->setToolTip(m_toolTip);
        m_hosted->setMenu(m_menu);
    }
    m_hosted->setVisible(true);
}

} // namespace quorvale::platform
