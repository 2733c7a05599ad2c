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

    xcb_connection_t* c = qtX11Connection();
    if (!c) {
        return;
    }
    m_trayAtom = internAtom(c, "_NET_SYSTEM_TRAY_S" + QByteArray::number(defaultScreenNumber()));
    m_managerAtom = internAtom(c, "MANAGER");
    // A tray that starts announces itself to the root window's structure listeners.
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < defaultScreenNumber() && screens.rem; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem) {
        m_root = screens.data->root;
        XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, m_root), nullptr),
            &std::free);
        const uint32_t mask =
            (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    qApp->installNativeEventFilter(this);
}

XEmbedStatusItem::~XEmbedStatusItem() {
    qApp->removeNativeEventFilter(this);
}

void XEmbedStatusItem::setIcon(const QIcon& icon) {
    m_icon = icon;
    update();
}

void XEmbedStatusItem::setVisible(bool visible) {
    m_wanted = visible;
    if (visible && !m_docked) {
        m_docked = dock();
        if (!m_docked) {
            return; // an undocked icon would float at the screen's corner; wait for a tray
        }
    }
    QWidget::setVisible(visible);
}

bool XEmbedStatusItem::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || m_trayAtom == XCB_ATOM_NONE) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_CLIENT_MESSAGE) {
        const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (client->type == m_managerAtom && client->data.data32[1] == m_trayAtom) {
            // Handled on a later turn: widgets are not shown from inside Qt's event dispatch.
            QMetaObject::invokeMethod(this, &XEmbedStatusItem::trayAppeared, Qt::QueuedConnection);
        }
    } else if (type == XCB_REPARENT_NOTIFY && m_docked) {
        // A tray that goes away hands its icons back to the root window.
        const auto* reparent = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        if (reparent->window == xcb_window_t(internalWinId()) && reparent->parent == m_root) {
            QMetaObject::invokeMethod(this, &XEmbedStatusItem::trayLost, Qt::QueuedConnection);
        }
    }
    return false;
}

void XEmbedStatusItem::trayAppeared() {
    if (m_docked) {
        trayLost(); // a new tray replaced the one we were in
    }
    if (!m_wanted) {
        return;
    }
    if (QWidget::isVisible()) {
        m_docked = dock(); // the tray maps the window, as _XEMBED_INFO asks
    } else {
        setVisible(true);
    }
    if (m_docked && onDockedChanged) {
        onDockedChanged(true);
    }
}

void XEmbedStatusItem::trayLost() {
    if (!m_docked) {
        return;
    }
    m_docked = false;
    // Out of sight without telling Qt: hidden and shown again, the window would be moved
    // and resized by Qt while the next tray embeds it, and some trays then give it no room.
    if (xcb_connection_t* c = qtX11Connection()) {
        xcb_unmap_window(c, xcb_window_t(internalWinId()));
        xcb_flush(c);
    }
    if (onDockedChanged) {
        onDockedChanged(false);
    }
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
