#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale::platform {

// System-wide hot keys in the shape of the classic hot-key service: a registration is a
// virtual key code plus Carbon modifier bits under a caller-chosen {signature, id}; presses
// and releases reach the installed handlers, first one that handles the event wins.
class GlobalHotKeys {
public:
    struct HotKeyId {
        quint32 signature = 0;
        quint32 id = 0;
        friend bool operator==(const HotKeyId&, const HotKeyId&) = default;
    };

    enum class EventKind { rawKeyDown = 1, rawKeyUp = 3, hotKeyPressed = 5, hotKeyReleased = 6 };

    struct Event {
        EventKind kind = EventKind::hotKeyPressed;
        HotKeyId hotKeyId;           // hot-key events
        quint32 keyCode = 0;         // raw key events: virtual key code
        quint32 carbonModifiers = 0; // raw key events: every modifier held, Carbon bits
    };

    // 0 when the handler took the event, kEventNotHandled to pass it on.
    using Handler = std::function<int(const Event&)>;
    using HotKeyRef = quint64;
    using HandlerRef = quint64;

    // Carbon modifier bits: the form registrations and raw key events carry.
    static constexpr quint32 kCarbonCommand = 0x100;
    static constexpr quint32 kCarbonShift = 0x200;
    static constexpr quint32 kCarbonAlphaLock = 0x400;
    static constexpr quint32 kCarbonOption = 0x800;
    static constexpr quint32 kCarbonControl = 0x1000;
    static constexpr quint32 kCarbonFunction = 0x20000;

    static constexpr int kNoError = 0;
    static constexpr int kEventNotHandled = -9874;
    // Another program holds the combination.
    static constexpr int kHotKeyExists = -9878;
    // The session offers no global key grabs (Wayland, no display).
    static constexpr int kHotKeysUnavailable = -9870;
    // The combination cannot be expressed here (no such key, Fn).
    static constexpr int kUnsupportedCombination = -50;

    // A combination the desktop keeps for itself, as read from its settings.
    struct ReservedHotKey {
        bool enabled = false;
        std::optional<qint64> keyCode;
        std::optional<qint64> carbonModifiers;
    };

    virtual ~GlobalHotKeys() = default;

    virtual bool isAvailable() const = 0;
    // kNoError and a non-zero *ref on success; else a status and *ref untouched.
    virtual int registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id,
                               HotKeyRef* ref) = 0;
    virtual void unregisterHotKey(HotKeyRef ref) = 0;

    // A handler starts with no event kinds; 0 when none can be installed.
    virtual HandlerRef installEventHandler(Handler handler) = 0;
    virtual void removeEventHandler(HandlerRef handler) = 0;
    virtual void setHotKeyEventsEnabled(HandlerRef handler, bool enabled) = 0;
    // While on, the application's own key events go to the handler as raw events and are
    // consumed when it handles them: hot keys do not fire while one of our menus has the
    // keyboard.
    virtual void setRawKeyMonitorActive(HandlerRef handler, bool active) = 0;

    // While on, a press of one of our own combinations fires nothing and reaches the focused
    // widget of the application as an ordinary key press (a recorder is taking it down).
    virtual void setGrabbedKeysToFocus(bool on) = 0;

    virtual std::vector<ReservedHotKey> systemReservedHotKeys() const = 0;
    // Why a registration failed, in words for the user.
    virtual QString describeStatus(int status) const = 0;
};

} // namespace quorvale::platform
