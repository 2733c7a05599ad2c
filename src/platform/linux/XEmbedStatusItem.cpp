#include "platform/linux/XEmbedStatusItem.h"

#include "platform/linux/X11Connection.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvale::platform {
namespace {

constexpr uint32_t kSystemTrayRequestDock = 0;
constexpr uint32_t kXEmbedVersion = 0;
constexpr uint32_t kXEmbedMapped = 1;
// WM_SIZE_HINTS: flags, x, y, width, height, min, max, increment, aspects, base, gravity.
constexpr uint32_t kSizeHintsLength = 18;
constexpr uint32_t kPMinSize = 16;
constexpr uint32_t kPMaxSize = 32;
constexpr uint32_t kPBaseSize = 256;

} // namespace

xcb_window_t XEmbedStatusItem::trayOwner() {
    xcb_connection_t* c = qtX11Connection();
    if (!c) {
        return XCB_WINDOW_NONE;
    }
    const xcb_atom_t selection =
        internAtom(c, "_NET_SYSTEM_TRAY_S" + QByteArray::number(defaultScreenNumber()));
    if (selection == XCB_ATOM_NONE) {
        return XCB_WINDOW_NONE;
    }
    XcbReply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr),
        &std::free);
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

XEmbedStatusItem::XEmbedStatusItem() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setWindowTitle(QStringLiteral("Quorvale tray"));
    setFixedSize(kIconSize, kIconSize);
}

void XEmbedStatusItem::setIcon(const QIcon& icon) {
    m_icon = icon;
    update();
}

void XEmbedStatusItem::setVisible(bool visible) {
    if (visible && !m_docked) {
        m_docked = dock();
        if (!m_docked) {
            return; // an undocked icon would float at the screen's corner
        }
    }
    QWidget::setVisible(visible);
}

bool XEmbedStatusItem::dock() {
    xcb_connection_t* c = qtX11Connection();
    const xcb_window_t tray = trayOwner();
    if (!c || tray == XCB_WINDOW_NONE) {
        return false;
    }
    const xcb_window_t window = xcb_window_t(winId());
    // Trays size the icon from these hints when it docks; Qt would only set them on show.
    uint32_t hints[kSizeHintsLength] = {};
    hints[0] = kPMinSize | kPMaxSize | kPBaseSize;
    hints[5] = hints[7] = hints[15] = uint32_t(kIconSize);
    hints[6] = hints[8] = hints[16] = uint32_t(kIconSize);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, kSizeHintsLength, hints);
    const uint32_t info[] = {kXEmbedVersion, kXEmbedMapped};
    const xcb_atom_t xembedInfo = internAtom(c, "_XEMBED_INFO");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, xembedInfo, xembedInfo, 32, 2, info);

    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = tray;
    event.type = internAtom(c, "_NET_SYSTEM_TRAY_OPCODE");
    event.data.data32[0] = XCB_CURRENT_TIME;
    event.data.data32[1] = kSystemTrayRequestDock;
    event.data.data32[2] = window;
    xcb_send_event(c, 0, tray, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    return true;
}

void XEmbedStatusItem::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int side = qMin(width(), height()) - 4;
    const QRect target((width() - side) / 2, (height() - side) / 2, side, side);
    m_icon.paint(&painter, target);
}

void XEmbedStatusItem::mousePressEvent(QMouseEvent* event) {
    if (m_menu && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)) {
        m_menu->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace quorvale::platform
