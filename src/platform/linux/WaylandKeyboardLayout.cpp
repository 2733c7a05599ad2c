#include "platform/linux/WaylandKeyboardLayout.h"

#include "platform/linux/VirtualKeyTable.h"
#include "platform/linux/XkbKeyTranslator.h"

#include <QSocketNotifier>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace quorvale::platform {
namespace {

WaylandKeyboardLayout* self(void* data) {
    return static_cast<WaylandKeyboardLayout*>(data);
}

const wl_keyboard_listener kKeyboardListener = {
    [](void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
        self(data)->keymapArrived(format, fd, size);
    },
    [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
    [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t group) {
        self(data)->modifiersArrived(group);
    },
    [](void*, wl_keyboard*, int32_t, int32_t) {},
};

const wl_seat_listener kSeatListener = {
    [](void* data, wl_seat*, uint32_t capabilities) { self(data)->seatCapabilities(capabilities); },
    [](void*, wl_seat*, const char*) {},
};

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version) {
        self(data)->globalArrived(name, interface, version);
    },
    [](void*, wl_registry*, uint32_t) {},
};

} // namespace

WaylandKeyboardLayout::WaylandKeyboardLayout()
    : m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref)
    , m_keymap(nullptr, &xkb_keymap_unref)
    , m_defaultKeymap(nullptr, &xkb_keymap_unref) {
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        return;
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    // The seat, then its capabilities, then the keymap of its keyboard.
    for (int i = 0; i < 3; ++i) {
        wl_display_roundtrip(m_display);
    }
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WaylandKeyboardLayout::dispatch);
}

WaylandKeyboardLayout::~WaylandKeyboardLayout() {
    delete m_notifier;
    if (m_keyboard) {
        wl_keyboard_destroy(m_keyboard);
    }
    if (m_seat) {
        wl_seat_destroy(m_seat);
    }
    if (m_registry) {
        wl_registry_destroy(m_registry);
    }
    if (m_display) {
        wl_display_disconnect(m_display);
    }
}

void WaylandKeyboardLayout::dispatch() {
    if (wl_display_dispatch(m_display) < 0) {
        m_notifier->setEnabled(false); // the compositor went away
    }
}

void WaylandKeyboardLayout::globalArrived(uint32_t name, const char* interface, uint32_t) {
    if (!m_seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
        m_seat = static_cast<wl_seat*>(wl_registry_bind(m_registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(m_seat, &kSeatListener, this);
    }
}

void WaylandKeyboardLayout::seatCapabilities(uint32_t capabilities) {
    const bool hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    if (hasKeyboard && !m_keyboard) {
        m_keyboard = wl_seat_get_keyboard(m_seat);
        wl_keyboard_add_listener(m_keyboard, &kKeyboardListener, this);
    } else if (!hasKeyboard && m_keyboard) {
        wl_keyboard_destroy(m_keyboard);
        m_keyboard = nullptr;
    }
}

void WaylandKeyboardLayout::keymapArrived(uint32_t format, int fd, uint32_t size) {
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && m_context) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            m_keymap.reset(xkb_keymap_new_from_string(m_context.get(), static_cast<char*>(text),
                                                      XKB_KEYMAP_FORMAT_TEXT_V1,
                                                      XKB_KEYMAP_COMPILE_NO_FLAGS));
            munmap(text, size);
            m_layout = 0;
            notifyLayoutChanged();
        }
    }
    ::close(fd);
}

void WaylandKeyboardLayout::modifiersArrived(uint32_t group) {
    if (group != m_layout) {
        m_layout = group;
        notifyLayoutChanged();
    }
}

QString WaylandKeyboardLayout::characterForKeyCode(qint64 virtualKeyCode) const {
    const auto keycode = VirtualKeyTable::x11Keycode(virtualKeyCode);
    if (m_keymap && keycode && xkb_keymap_num_layouts_for_key(m_keymap.get(), *keycode) > 0) {
        return XkbKeyTranslator::characterOf(m_keymap.get(), m_layout, virtualKeyCode);
    }
    // No keyboard yet, or one that knows only a few keys (a virtual keyboard): the system's
    // default layout still names the key.
    if (!m_defaultKeymap && m_context) {
        m_defaultKeymap.reset(
            xkb_keymap_new_from_names(m_context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
    }
    return XkbKeyTranslator::characterOf(m_defaultKeymap.get(), 0, virtualKeyCode);
}

std::optional<qint64>
WaylandKeyboardLayout::virtualKeyCodeForScanCode(quint32 nativeScanCode) const {
    // Qt's scan code under Wayland is the evdev code + 8, as under X11.
    if (nativeScanCode < VirtualKeyTable::kX11KeycodeOffset) {
        return std::nullopt;
    }
    return VirtualKeyTable::virtualKeyCode(static_cast<int>(nativeScanCode) -
                                           VirtualKeyTable::kX11KeycodeOffset);
}

} // namespace quorvale::platform
