#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/linux/VirtualKeyTable.h"
#include "platform/linux/XkbKeyTranslator.h"

#include <QGuiApplication>
#include <xkbcommon/xkbcommon-x11.h>

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace quorvale::platform {

XkbKeyboardLayout::XkbKeyboardLayout()
    : m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref)
    , m_keymap(nullptr, &xkb_keymap_unref)
    , m_state(nullptr, &xkb_state_unref) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Under other platform plugins (offscreen, wayland) there is no X connection.
    m_connection = x11 ? x11->connection() : nullptr;
    if (!m_connection) {
        return;
    }
    if (const auto* xkb = xcb_get_extension_data(m_connection, &xcb_xkb_id); xkb && xkb->present) {
        m_xkbFirstEvent = xkb->first_event;
        app->installNativeEventFilter(this);
    }
}

XkbKeyboardLayout::~XkbKeyboardLayout() {
    if (m_xkbFirstEvent && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool XkbKeyboardLayout::ensureKeymap() const {
    if (!m_stale && m_keymap && m_state) {
        return true;
    }
    if (!m_connection || !m_context) {
        return false;
    }
    const int32_t device = xkb_x11_get_core_keyboard_device_id(m_connection);
    if (device < 0) {
        return false;
    }
    m_keymap.reset(xkb_x11_keymap_new_from_device(m_context.get(), m_connection, device,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS));
    m_state.reset(m_keymap ? xkb_x11_state_new_from_device(m_keymap.get(), m_connection, device)
                           : nullptr);
    m_stale = !m_state;
    return !m_stale;
}

std::optional<qint64> XkbKeyboardLayout::virtualKeyCodeForScanCode(quint32 nativeScanCode) const {
    // Qt's scan code under xcb is the X keycode.
    if (nativeScanCode < VirtualKeyTable::kX11KeycodeOffset) {
        return std::nullopt;
    }
    return VirtualKeyTable::virtualKeyCode(static_cast<int>(nativeScanCode) -
                                           VirtualKeyTable::kX11KeycodeOffset);
}

QString XkbKeyboardLayout::characterForKeyCode(qint64 virtualKeyCode) const {
    if (!ensureKeymap()) {
        return {};
    }
    const xkb_layout_index_t layout =
        xkb_state_serialize_layout(m_state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
    return XkbKeyTranslator::characterOf(m_keymap.get(), layout, virtualKeyCode);
}

bool XkbKeyboardLayout::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != m_xkbFirstEvent) {
        return false;
    }
    // Every XKB event starts like this one; xkbType tells them apart.
    const auto* xkbEvent = static_cast<const xcb_xkb_new_keyboard_notify_event_t*>(message);
    switch (xkbEvent->xkbType) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
        m_stale = true;
        notifyLayoutChanged();
        break;
    case XCB_XKB_STATE_NOTIFY: {
        const auto* state = static_cast<const xcb_xkb_state_notify_event_t*>(message);
        if (m_state) {
            xkb_state_update_mask(m_state.get(), state->baseMods, state->latchedMods,
                                  state->lockedMods, state->baseGroup, state->latchedGroup,
                                  state->lockedGroup);
        }
        if (state->changed & (XCB_XKB_STATE_PART_GROUP_STATE | XCB_XKB_STATE_PART_GROUP_BASE |
                              XCB_XKB_STATE_PART_GROUP_LATCH | XCB_XKB_STATE_PART_GROUP_LOCK)) {
            notifyLayoutChanged();
        }
        break;
    }
    default:
        break;
    }
    // Qt needs these events too.
    return false;
}

} // namespace quorvale::platform
