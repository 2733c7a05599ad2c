#include "platform/linux/X11GlobalHotKeys.h"

#include "common/LogCategories.h"
#include "platform/linux/DesktopReservedShortcuts.h"
#include "platform/linux/VirtualKeyTable.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <chrono>
#include <memory>

#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace quorvale::platform {
namespace {

constexpr uint8_t kBadAccess = 10;

// The system-wide monotonic clock, so that timings line up with other processes'.
double monotonicMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

using Error = std::unique_ptr<xcb_generic_error_t, decltype(&free)>;

} // namespace

X11GlobalHotKeys::X11GlobalHotKeys() = default;

X11GlobalHotKeys::~X11GlobalHotKeys() {
    if (m_listening && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

xcb_connection_t* X11GlobalHotKeys::connection() const {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) {
        return nullptr;
    }
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    // Under other platform plugins (offscreen, wayland) there is no X connection.
    return x11 ? x11->connection() : nullptr;
}

bool X11GlobalHotKeys::isAvailable() const {
    // Through XWayland a grab only sees keys typed into other X11 windows: not global.
    return connection() != nullptr && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int X11GlobalHotKeys::registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id,
                                     HotKeyRef* ref) {
    xcb_connection_t* conn = connection();
    if (!conn || !isAvailable()) {
        return kHotKeysUnavailable;
    }
    startListening();
    const xcb_setup_t* setup = xcb_get_setup(conn);
    const auto keycode = VirtualKeyTable::x11Keycode(keyCode);
    m_masks = X11ModifierMasks::query(conn);
    const auto modifiers = m_masks.fromCarbon(carbonModifiers);
    if (!keycode || *keycode < setup->min_keycode || *keycode > setup->max_keycode || !modifiers) {
        return kUnsupportedCombination;
    }
    const Combination combination{static_cast<xcb_keycode_t>(*keycode), *modifiers};
    bool alreadyGrabbed = false;
    for (const auto& [otherRef, registration] : m_registrations) {
        alreadyGrabbed = alreadyGrabbed || registration.combination == combination;
    }
    if (!alreadyGrabbed) {
        if (const int error = grabAllVariants(combination)) {
            return error == kBadAccess ? kHotKeyExists : kUnsupportedCombination;
        }
    }
    *ref = ++m_lastRef;
    m_registrations[*ref] = {combination, id};
    return kNoError;
}

int X11GlobalHotKeys::grabAllVariants(Combination combination) {
    xcb_connection_t* conn = connection();
    std::vector<std::pair<uint16_t, xcb_void_cookie_t>> requests;
    for (const uint16_t lock : m_masks.lockVariants()) {
        const uint16_t modifiers = combination.second | lock;
        requests.emplace_back(modifiers,
                              xcb_grab_key_checked(conn, 0, m_root, modifiers, combination.first,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    int firstError = 0;
    std::vector<uint16_t> granted;
    for (const auto& [modifiers, cookie] : requests) {
        if (Error error(xcb_request_check(conn, cookie), &free); error) {
            firstError = firstError ? firstError : error->error_code;
        } else {
            granted.push_back(modifiers);
        }
    }
    // A combination held by someone else on only some lock variants must not stay half ours.
    if (firstError) {
        for (const uint16_t modifiers : granted) {
            xcb_ungrab_key(conn, combination.first, m_root, modifiers);
        }
        xcb_flush(conn);
    }
    return firstError;
}

void X11GlobalHotKeys::ungrabAllVariants(Combination combination) {
    xcb_connection_t* conn = connection();
    if (!conn) {
        return;
    }
    for (const uint16_t lock : m_masks.lockVariants()) {
        xcb_ungrab_key(conn, combination.first, m_root, combination.second | lock);
    }
    xcb_flush(conn);
}

void X11GlobalHotKeys::unregisterHotKey(HotKeyRef ref) {
    const auto found = m_registrations.find(ref);
    if (found == m_registrations.end()) {
        return;
    }
    const Combination combination = found->second.combination;
    m_registrations.erase(found);
    for (const auto& [otherRef, registration] : m_registrations) {
        if (registration.combination == combination) {
            return;
        }
    }
    ungrabAllVariants(combination);
}

void X11GlobalHotKeys::startListening() {
    if (m_listening) {
        return;
    }
    m_listening = true;
    xcb_connection_t* conn = connection();
    m_root = xcb_setup_roots_iterator(xcb_get_setup(conn)).data->root;
    // Held keys then repeat as presses alone, which are easy to ignore.
    const uint32_t repeat = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    free(xcb_xkb_per_client_flags_reply(
        conn, xcb_xkb_per_client_flags(conn, XCB_XKB_ID_USE_CORE_KBD, repeat, repeat, 0, 0, 0),
        nullptr));
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool X11GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) {
        return false;
    }
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->event != m_root) {
        return false;
    }
    return type == XCB_KEY_PRESS ? pressed(key->detail, key->state) : released(key->detail);
}

bool X11GlobalHotKeys::pressed(xcb_keycode_t keycode, uint16_t state) {
    if (m_down.count(keycode)) {
        return true;
    }
    const Combination combination{keycode, m_masks.significant(state)};
    std::vector<HotKeyId> ids;
    for (const auto& [ref, registration] : m_registrations) {
        if (registration.combination == combination) {
            ids.push_back(registration.id);
        }
    }
    if (ids.empty()) {
        return false;
    }
    m_down[keycode] = ids;
    if (m_grabbedKeysToFocus) {
        sendToFocus(keycode, state);
        // The release stays ours, but nothing is offered: no shortcut fired.
        m_down[keycode].clear();
        return true;
    }
    qCDebug(Log::debug, "hotkey pressed %d at %.3f", keycode, monotonicMs());
    for (const HotKeyId& id : ids) {
        offer({EventKind::hotKeyPressed, id, 0, 0}, &InstalledHandler::hotKeyEvents);
    }
    return true;
}

bool X11GlobalHotKeys::released(xcb_keycode_t keycode) {
    const auto found = m_down.find(keycode);
    if (found == m_down.end()) {
        return false;
    }
    const std::vector<HotKeyId> ids = std::move(found->second);
    m_down.erase(found);
    for (const HotKeyId& id : ids) {
        offer({EventKind::hotKeyReleased, id, 0, 0}, &InstalledHandler::hotKeyEvents);
    }
    return true;
}

bool X11GlobalHotKeys::offer(const Event& event, bool InstalledHandler::*kind) {
    // A handler may install or remove handlers while it runs.
    const auto handlers = m_handlers;
    for (const auto& [ref, installed] : handlers) {
        if (installed.*kind && installed.handler(event) == kNoError) {
            return true;
        }
    }
    return false;
}

GlobalHotKeys::HandlerRef X11GlobalHotKeys::installEventHandler(Handler handler) {
    if (!connection()) {
        return 0;
    }
    startListening();
    m_handlers[++m_lastRef] = {std::move(handler)};
    return m_lastRef;
}

void X11GlobalHotKeys::removeEventHandler(HandlerRef handler) {
    m_handlers.erase(handler);
}

void X11GlobalHotKeys::setHotKeyEventsEnabled(HandlerRef handler, bool enabled) {
    if (const auto found = m_handlers.find(handler); found != m_handlers.end()) {
        found->second.hotKeyEvents = enabled;
    }
}

void X11GlobalHotKeys::setGrabbedKeysToFocus(bool on) {
    m_grabbedKeysToFocus = on;
}

bool X11GlobalHotKeys::sendToFocus(xcb_keycode_t keycode, uint16_t state) {
    // Our passive grab took the key from the focused window, which is our own here.
    QWidget* focus = QApplication::focusWidget();
    if (!focus) {
        return false;
    }
    const quint32 carbon = m_masks.toCarbon(state);
    Qt::KeyboardModifiers modifiers;
    if (carbon & kCarbonCommand) {
        modifiers |= Qt::MetaModifier;
    }
    if (carbon & kCarbonOption) {
        modifiers |= Qt::AltModifier;
    }
    if (carbon & kCarbonControl) {
        modifiers |= Qt::ControlModifier;
    }
    if (carbon & kCarbonShift) {
        modifiers |= Qt::ShiftModifier;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, modifiers, keycode, 0, state);
    QCoreApplication::sendEvent(focus, &press);
    return true;
}

void X11GlobalHotKeys::setRawKeyMonitorActive(HandlerRef handler, bool active) {
    if (const auto found = m_handlers.find(handler); found != m_handlers.end()) {
        found->second.rawKeyMonitor = active;
    }
    // An open menu holds the keyboard, so the grabs cannot fire: its key events are read here.
    const bool wanted = anyRawKeyMonitor();
    if (wanted != m_appFilterInstalled && QCoreApplication::instance()) {
        if (wanted) {
            QCoreApplication::instance()->installEventFilter(this);
        } else {
            QCoreApplication::instance()->removeEventFilter(this);
        }
        m_appFilterInstalled = wanted;
    }
}

bool X11GlobalHotKeys::anyRawKeyMonitor() const {
    for (const auto& [ref, installed] : m_handlers) {
        if (installed.rawKeyMonitor) {
            return true;
        }
    }
    return false;
}

bool X11GlobalHotKeys::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const auto virtualKey = VirtualKeyTable::virtualKeyCode(
        static_cast<int>(key->nativeScanCode()) - VirtualKeyTable::kX11KeycodeOffset);
    if (!virtualKey) {
        return false;
    }
    // A held shortcut fires once, as it does through the grabs.
    if (key->isAutoRepeat() && event->type() == QEvent::KeyPress) {
        return false;
    }
    Event raw;
    raw.kind = event->type() == QEvent::KeyPress ? EventKind::rawKeyDown : EventKind::rawKeyUp;
    raw.keyCode = static_cast<quint32>(*virtualKey);
    raw.carbonModifiers = m_masks.toCarbon(static_cast<uint16_t>(key->nativeModifiers()));
    return offer(raw, &InstalledHandler::rawKeyMonitor);
}

std::vector<GlobalHotKeys::ReservedHotKey> X11GlobalHotKeys::systemReservedHotKeys() const {
    return DesktopReservedShortcuts::read();
}

QString X11GlobalHotKeys::describeStatus(int status) const {
    switch (status) {
    case kHotKeyExists:
        return QStringLiteral("another program already uses this combination");
    case kHotKeysUnavailable:
        return QStringLiteral("this session offers no global shortcuts (it is not an X11 session)");
    case kUnsupportedCombination:
        return QStringLiteral("this keyboard has no such key or modifier (Fn cannot be used)");
    default:
        return QStringLiteral("the X server refused it (status %1)").arg(status);
    }
}

} // namespace quorvale::platform
