#include "platform/linux/X11ActivationPolicy.h"

#include "platform/linux/X11Connection.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace quorvale::platform {
namespace {

// Marks windows whose taskbar state we changed, so that only those are restored.
constexpr char kSkipsTaskbarProperty[] = "quorvaleSkipsTaskbar";

constexpr uint32_t kNetWmStateRemove = 0;
constexpr uint32_t kNetWmStateAdd = 1;
constexpr uint32_t kSourceApplication = 1;

// Windows that stand for the app on the desktop: not menus, tooltips or overlays.
bool isAppWindow(const QWindow* window) {
    const Qt::WindowType type = window->type();
    return window->isTopLevel() && (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool) &&
           !window->flags().testFlag(Qt::X11BypassWindowManagerHint);
}

std::vector<QWindow*> visibleAppWindows() {
    std::vector<QWindow*> windows;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (isAppWindow(window) && window->isVisible()) {
            windows.push_back(window);
        }
    }
    return windows;
}

} // namespace

X11ActivationPolicy::X11ActivationPolicy(Policy initial)
    : m_policy(initial) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) {
        return;
    }
    app->installEventFilter(this);
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform offers the interface too, without a connection.
    if (x11 && x11->connection() && !xcb_connection_has_error(x11->connection())) {
        m_connection = x11->connection();
        m_netWmState = internAtom(m_connection, "_NET_WM_STATE");
        m_skipTaskbar = internAtom(m_connection, "_NET_WM_STATE_SKIP_TASKBAR");
        m_skipPager = internAtom(m_connection, "_NET_WM_STATE_SKIP_PAGER");
    }
}

void X11ActivationPolicy::setActivationPolicy(Policy policy) {
    m_policy = policy;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (isAppWindow(window)) {
            applyPolicy(window);
        }
    }
}

void X11ActivationPolicy::unhide() {
    if (!m_connection) {
        return;
    }
    for (QWindow* window : visibleAppWindows()) {
        const Qt::WindowStates states = window->windowStates();
        if (states.testFlag(Qt::WindowMinimized)) {
            window->setWindowStates(states & ~Qt::WindowMinimized); // keeps maximised
        }
    }
}

void X11ActivationPolicy::activateIgnoringOtherApps() {
    if (!m_connection) {
        return;
    }
    QWindow* target = QGuiApplication::focusWindow();
    if (!target || !isAppWindow(target) || !target->isVisible()) {
        const std::vector<QWindow*> windows = visibleAppWindows();
        // Prefer a window with a frame: a frameless one is more likely a tray or HUD window.
        auto framed = std::find_if(windows.begin(), windows.end(), [](QWindow* window) {
            return !window->flags().testFlag(Qt::FramelessWindowHint);
        });
        target = framed != windows.end() ? *framed : nullptr;
    }
    if (target) {
        target->raise();
        target->requestActivate();
    }
}

void X11ActivationPolicy::orderFrontVisibleWindowsRegardless() {
    if (!m_connection) {
        return;
    }
    for (QWindow* window : visibleAppWindows()) {
        window->raise();
    }
}

bool X11ActivationPolicy::eventFilter(QObject* watched, QEvent* event) {
    // A window's Show event comes after its native window exists and before it is mapped,
    // when the window manager still takes _NET_WM_STATE from the property.
    if (event->type() == QEvent::Show && watched->isWindowType()) {
        auto* window = static_cast<QWindow*>(watched);
        if (isAppWindow(window)) {
            applyPolicy(window);
        }
    }
    return QObject::eventFilter(watched, event);
}

void X11ActivationPolicy::applyPolicy(QWindow* window) {
    const bool skip = m_policy == Policy::accessory;
    const bool skipping = window->property(kSkipsTaskbarProperty).toBool();
    if (!m_connection || m_netWmState == XCB_ATOM_NONE || !window->handle() ||
        (!skip && !skipping)) {
        return;
    }
    const auto id = xcb_window_t(window->winId());
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, id),
                                        nullptr),
        &std::free);
    if (!attributes) {
        return;
    }
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        changeUnmappedState(id, skip);
    } else {
        changeMappedState(id, skip);
    }
    xcb_flush(m_connection);
    window->setProperty(kSkipsTaskbarProperty, skip);
}

// A managed window's state belongs to the window manager: ask it through the root window.
void X11ActivationPolicy::changeMappedState(xcb_window_t window, bool skip) {
    XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr),
        &std::free);
    if (!geometry) {
        return;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_netWmState;
    message.data.data32[0] = skip ? kNetWmStateAdd : kNetWmStateRemove;
    message.data.data32[1] = m_skipTaskbar;
    message.data.data32[2] = m_skipPager;
    message.data.data32[3] = kSourceApplication;
    xcb_send_event(m_connection, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

// Before mapping, the window manager reads the property; keep the states Qt set there.
void X11ActivationPolicy::changeUnmappedState(xcb_window_t window, bool skip) {
    XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_netWmState, XCB_ATOM_ATOM, 0, 1024),
            nullptr),
        &std::free);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        atoms.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
    }
    std::erase_if(atoms,
                  [&](xcb_atom_t atom) { return atom == m_skipTaskbar || atom == m_skipPager; });
    if (skip) {
        atoms.push_back(m_skipTaskbar);
        atoms.push_back(m_skipPager);
    }
    if (atoms.empty()) {
        xcb_delete_property(m_connection, window, m_netWmState);
    } else {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmState,
                            XCB_ATOM_ATOM, 32, uint32_t(atoms.size()), atoms.data());
    }
}

} // namespace quorvale::platform
