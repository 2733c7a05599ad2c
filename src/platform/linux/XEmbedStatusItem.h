#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <xcb/xcb.h>

namespace quorvale::platform {

// Our own icon window, docked into an XEmbed tray (the owner of _NET_SYSTEM_TRAY_S<n>), so
// that files dragged over it reach the app.
class XEmbedStatusItem : public QWidget, public StatusItem {
    Q_OBJECT
public:
    static constexpr int kIconSize = 22;

    // The tray's window, or none when the screen has no XEmbed tray.
    static xcb_window_t trayOwner();

    XEmbedStatusItem();

    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& text) override { QWidget::setToolTip(text); }
    void setMenu(QMenu* menu) override { m_menu = menu; }
    void setVisible(bool visible) override;
    bool isShown() const override { return m_docked && QWidget::isVisible(); }
    QWidget* button() const override { return const_cast<XEmbedStatusItem*>(this); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool dock();

    QIcon m_icon;
    QPointer<QMenu> m_menu;
    bool m_docked = false;
};

} // namespace quorvale::platform
