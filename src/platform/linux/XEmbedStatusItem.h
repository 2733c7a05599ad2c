#pragma once

#include "platform/StatusItem.h"

#include <QAbstractNativeEventFilter>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <xcb/xcb.h>

namespace quorvale::platform {

// Our own icon window, docked into an XEmbed tray (the owner of _NET_SYSTEM_TRAY_S<n>), so
// that files dragged over it reach the app. It docks again whenever a tray (re)starts.
class XEmbedStatusItem : public QWidget, public StatusItem, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    static constexpr int kIconSize = 22;

    // The tray's window, or none when the screen has no XEmbed tray.
    static xcb_window_t trayOwner();

    XEmbedStatusItem();
    ~XEmbedStatusItem() override;

    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& text) override { QWidget::setToolTip(text); }
    void setMenu(QMenu* menu) override { m_menu = menu; }
    void setVisible(bool visible) override;
    bool isShown() const override { return m_docked && QWidget::isVisible(); }
    QWidget* button() const override { return const_cast<XEmbedStatusItem*>(this); }

    // Told when the icon docks into a tray or loses it.
    std::function<void(bool docked)> onDockedChanged;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool dock();
    void trayAppeared();
    void trayLost();

    QIcon m_icon;
    QPointer<QMenu> m_menu;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_trayAtom = XCB_ATOM_NONE;
    xcb_atom_t m_managerAtom = XCB_ATOM_NONE;
    bool m_wanted = false;
    bool m_docked = false;
};

} // namespace quorvale::platform
