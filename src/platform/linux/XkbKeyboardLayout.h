#pragma once

#include "platform/KeyboardLayout.h"

#include <QAbstractNativeEventFilter>
#include <memory>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon.h>

namespace quorvale::platform {

// The X server's keymap through xkbcommon. A new keymap or a group switch, announced by XKB
// events on Qt's connection, takes effect for the very next lookup.
class XkbKeyboardLayout : public KeyboardLayout, private QAbstractNativeEventFilter {
public:
    XkbKeyboardLayout();
    ~XkbKeyboardLayout() override;

    QString characterForKeyCode(qint64 virtualKeyCode) const override;
    std::optional<qint64> virtualKeyCodeForScanCode(quint32 nativeScanCode) const override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool ensureKeymap() const;

    xcb_connection_t* m_connection = nullptr;
    uint8_t m_xkbFirstEvent = 0;
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> m_context;
    mutable std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> m_keymap;
    mutable std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> m_state;
    mutable bool m_stale = true;
};

} // namespace quorvale::platform
