#pragma once

#include "platform/GlobalHotKeys.h"
#include "platform/linux/X11ModifierMasks.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <map>
#include <utility>
#include <vector>
#include <xcb/xcb.h>

namespace quorvale::platform {

// Hot keys as passive key grabs on the root window, one per lock-key combination, read
// through a native event filter on Qt's own X connection.
class X11GlobalHotKeys : public QObject, public GlobalHotKeys, private QAbstractNativeEventFilter {
public:
    X11GlobalHotKeys();
    ~X11GlobalHotKeys() override;

    bool isAvailable() const override;
    int registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id,
                       HotKeyRef* ref) override;
    void unregisterHotKey(HotKeyRef ref) override;
    HandlerRef installEventHandler(Handler handler) override;
    void removeEventHandler(HandlerRef handler) override;
    void setHotKeyEventsEnabled(HandlerRef handler, bool enabled) override;
    void setRawKeyMonitorActive(HandlerRef handler, bool active) override;
    void setGrabbedKeysToFocus(bool on) override;
    std::vector<ReservedHotKey> systemReservedHotKeys() const override;
    QString describeStatus(int status) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Combination = std::pair<xcb_keycode_t, uint16_t>;
    struct Registration {
        Combination combination;
        HotKeyId id;
    };
    struct InstalledHandler {
        Handler handler;
        bool hotKeyEvents = false;
        bool rawKeyMonitor = false;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    xcb_connection_t* connection() const;
    void startListening();
    // The X error code of the first refused variant, 0 when every variant is grabbed.
    int grabAllVariants(Combination combination);
    void ungrabAllVariants(Combination combination);
    bool pressed(xcb_keycode_t keycode, uint16_t state);
    bool released(xcb_keycode_t keycode);
    bool offer(const Event& event, bool InstalledHandler::*kind);
    bool anyRawKeyMonitor() const;
    bool sendToFocus(xcb_keycode_t keycode, uint16_t state);

    xcb_window_t m_root = XCB_NONE;
    X11ModifierMasks m_masks;
    bool m_listening = false;
    bool m_appFilterInstalled = false;
    bool m_grabbedKeysToFocus = false;
    std::map<HotKeyRef, Registration> m_registrations;
    std::map<HandlerRef, InstalledHandler> m_handlers;
    // Keys whose press went out and whose release has not: repeats are ignored, the
    // release goes to the same registrations even after the modifiers are let go.
    std::map<xcb_keycode_t, std::vector<HotKeyId>> m_down;
    quint64 m_lastRef = 0;
};

} // namespace quorvale::platform
