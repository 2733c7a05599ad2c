#pragma once

#include "platform/GlobalHotKeys.h"
#include "shortcuts/Shortcut.h"

#include <functional>
#include <vector>

namespace GlobalShortcuts {

// The records of every hot key registered with the system, and the one event handler that
// turns their presses and releases into callbacks. GUI thread only. On Linux the hot keys are
// passive key grabs on the X root window (platform::GlobalHotKeys).
class CarbonGlobalShortcuts {
public:
    using Callback = std::function<void(const Shortcut&)>;
    // Told about every registration the system refused: the shortcut, the status and why.
    using FailureObserver = std::function<void(const Shortcut&, int status, const QString& reason)>;

    static constexpr quint32 kSignature = 0x4B53484B; // 'KSHK'

    static void registerShortcut(const Shortcut& shortcut, Callback onKeyDown, Callback onKeyUp);
    // Removes every registration of the shortcut.
    static void unregister(const Shortcut& shortcut);
    // Suspends or re-arms the records for the enabled switch and menu tracking.
    static void refreshEventHandling();
    static std::vector<Shortcut> systemReservedShortcuts();
    static int handleEvent(const quorvale::platform::GlobalHotKeys::Event& event);

    // Whether a live registration of the shortcut exists (the system accepted it).
    static bool isRegistered(const Shortcut& shortcut);
    // Why the system last refused the shortcut, in words for the user.
    static QString lastRefusalReason(const Shortcut& shortcut);
    // Our own grabs hand their keys to the focused widget instead of firing (recording).
    static void setGrabbedKeysToFocus(bool on);

    static void setFailureObserver(FailureObserver observer);
    static int registrationCount();
    static void resetForTesting();
};

} // namespace GlobalShortcuts
