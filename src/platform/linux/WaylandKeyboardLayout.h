#pragma once

#include "platform/KeyboardLayout.h"

#include <QObject>
#include <memory>
#include <xkbcommon/xkbcommon.h>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;

namespace quorvale::platform {

// The compositor's keymap, read on a Wayland connection of our own: Qt keeps its copy to
// itself. The compositor tells a client which layout of the keymap is active only while that
// client has the focus, so characters come from the active layout as last seen, at first the
// keymap's first one. Keys the compositor's keymap lacks are named by the default layout.
class WaylandKeyboardLayout : public QObject, public KeyboardLayout {
public:
    WaylandKeyboardLayout();
    ~WaylandKeyboardLayout() override;

    QString characterForKeyCode(qint64 virtualKeyCode) const override;
    std::optional<qint64> virtualKeyCodeForScanCode(quint32 nativeScanCode) const override;

    // Wayland listener entry points.
    void seatCapabilities(uint32_t capabilities);
    void keymapArrived(uint32_t format, int fd, uint32_t size);
    void modifiersArrived(uint32_t group);
    void globalArrived(uint32_t name, const char* interface, uint32_t version);

private:
    void dispatch();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    wl_keyboard* m_keyboard = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> m_context;
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> m_keymap;
    mutable std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> m_defaultKeymap;
    xkb_layout_index_t m_layout = 0;
};

} // namespace quorvale::platform
