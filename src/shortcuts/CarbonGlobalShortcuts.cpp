#include "shortcuts/CarbonGlobalShortcuts.h"

#include "platform/Platform.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/ModifierFlags.h"

#include <cstdio>
#include <limits>
#include <map>
#include <unordered_map>

namespace GlobalShortcuts {
namespace {

using quorvale::platform::GlobalHotKeys;

struct HotKey {
    Shortcut shortcut;
    qint64 carbonHotKeyId = 0;
    std::optional<GlobalHotKeys::HotKeyRef> carbonHotKey;
    CarbonGlobalShortcuts::Callback onKeyDown;
    CarbonGlobalShortcuts::Callback onKeyUp;
};

struct LayerState {
    std::map<qint64, HotKey> registrations;
    qint64 lastRegistrationId = 0;
    std::optional<GlobalHotKeys::HandlerRef> keyboardEventHandler;
    // The platform the handler was installed on; a new one starts from scratch.
    GlobalHotKeys* handlerPlatform = nullptr;
    bool menuKeyMonitorRunning = false;
    CarbonGlobalShortcuts::FailureObserver failureObserver;
    std::unordered_map<Shortcut, QString> refusals;
};

LayerState& layer() {
    static LayerState instance;
    return instance;
}

GlobalHotKeys* hotKeys() {
    return quorvale::platform::current().hotKeys.get();
}

bool fitsIn32Bits(qint64 value) {
    return value >= 0 && value <= std::numeric_limits<quint32>::max();
}

void reportFailure(const Shortcut& shortcut, int status) {
    // A session without global shortcuts is told once, at start-up, not once per shortcut.
    if (status != GlobalHotKeys::kHotKeysUnavailable) {
        std::printf("Error registering hotkey %s: %d\n", qPrintable(shortcut.displayString()),
                    status);
        std::fflush(stdout);
    }
    auto* platform = hotKeys();
    const QString reason =
        platform ? platform->describeStatus(status) : QStringLiteral("no hot-key service");
    layer().refusals[shortcut] = reason;
    if (layer().failureObserver) {
        layer().failureObserver(shortcut, status, reason);
    }
}

int platformRegister(const Shortcut& shortcut, qint64 id, GlobalHotKeys::HotKeyRef* ref) {
    auto* platform = hotKeys();
    if (!platform) {
        return GlobalHotKeys::kHotKeysUnavailable;
    }
    const int status = platform->registerHotKey(
        static_cast<quint32>(shortcut.carbonKeyCode),
        static_cast<quint32>(shortcut.carbonModifiers),
        {CarbonGlobalShortcuts::kSignature, static_cast<quint32>(id)}, ref);
    return status == GlobalHotKeys::kNoError && *ref == 0 ? GlobalHotKeys::kHotKeysUnavailable
                                                          : status;
}

void platformUnregister(HotKey& hotKey) {
    if (hotKey.carbonHotKey) {
        if (auto* platform = hotKeys()) {
            platform->unregisterHotKey(*hotKey.carbonHotKey);
        }
        hotKey.carbonHotKey.reset();
    }
}

void suspendAll() {
    for (auto& [id, hotKey] : layer().registrations) {
        platformUnregister(hotKey);
    }
}

void reRegisterSuspended() {
    auto& registrations = layer().registrations;
    for (auto it = registrations.begin(); it != registrations.end();) {
        HotKey& hotKey = it->second;
        if (hotKey.carbonHotKey) {
            ++it;
            continue;
        }
        GlobalHotKeys::HotKeyRef ref = 0;
        const int status = platformRegister(hotKey.shortcut, hotKey.carbonHotKeyId, &ref);
        if (status == GlobalHotKeys::kNoError) {
            hotKey.carbonHotKey = ref;
            ++it;
        } else {
            const Shortcut shortcut = hotKey.shortcut;
            it = registrations.erase(it);
            reportFailure(shortcut, status);
        }
    }
}

void setMenuKeyMonitor(bool running) {
    auto& state = layer();
    if (state.menuKeyMonitorRunning == running) {
        return;
    }
    state.menuKeyMonitorRunning = running;
    hotKeys()->setRawKeyMonitorActive(*state.keyboardEventHandler, running);
}

} // namespace

void CarbonGlobalShortcuts::registerShortcut(const Shortcut& shortcut, Callback onKeyDown,
                                             Callback onKeyUp) {
    auto& state = layer();
    if (state.lastRegistrationId == std::numeric_limits<qint64>::max()) {
        qFatal("hot-key registration ids exhausted");
    }
    const qint64 id = ++state.lastRegistrationId;
    if (!fitsIn32Bits(shortcut.carbonKeyCode) || !fitsIn32Bits(shortcut.carbonModifiers) ||
        !fitsIn32Bits(id)) {
        qFatal("hot key does not fit in 32 bits");
    }
    GlobalHotKeys::HotKeyRef ref = 0;
    const int status = platformRegister(shortcut, id, &ref);
    if (status != GlobalHotKeys::kNoError) {
        reportFailure(shortcut, status);
        return;
    }
    state.registrations.emplace(
        id, HotKey{shortcut, id, ref, std::move(onKeyDown), std::move(onKeyUp)});
    auto* platform = hotKeys();
    if (state.keyboardEventHandler && state.handlerPlatform == platform) {
        return;
    }
    if (const auto handler = platform->installEventHandler(&CarbonGlobalShortcuts::handleEvent)) {
        state.keyboardEventHandler = handler;
        state.handlerPlatform = platform;
        state.menuKeyMonitorRunning = false;
        refreshEventHandling();
    }
}

void CarbonGlobalShortcuts::unregister(const Shortcut& shortcut) {
    auto& registrations = layer().registrations;
    for (auto it = registrations.begin(); it != registrations.end();) {
        if (it->second.shortcut == shortcut) {
            platformUnregister(it->second);
            it = registrations.erase(it);
        } else {
            ++it;
        }
    }
}

void CarbonGlobalShortcuts::refreshEventHandling() {
    auto& state = layer();
    if (!state.keyboardEventHandler || state.handlerPlatform != hotKeys()) {
        return;
    }
    auto* platform = hotKeys();
    if (isEnabled() && !isMenuTracking()) {
        reRegisterSuspended();
        setMenuKeyMonitor(false);
        platform->setHotKeyEventsEnabled(*state.keyboardEventHandler, true);
    } else if (isEnabled()) {
        suspendAll();
        platform->setHotKeyEventsEnabled(*state.keyboardEventHandler, false);
        setMenuKeyMonitor(true);
    } else {
        suspendAll();
        platform->setHotKeyEventsEnabled(*state.keyboardEventHandler, false);
        setMenuKeyMonitor(false);
    }
}

std::vector<Shortcut> CarbonGlobalShortcuts::systemReservedShortcuts() {
    std::vector<Shortcut> shortcuts;
    auto* platform = hotKeys();
    if (!platform) {
        return shortcuts;
    }
    for (const auto& entry : platform->systemReservedHotKeys()) {
        if (entry.enabled && entry.keyCode && entry.carbonModifiers) {
            shortcuts.emplace_back(*entry.keyCode, *entry.carbonModifiers);
        }
    }
    return shortcuts;
}

int CarbonGlobalShortcuts::handleEvent(const GlobalHotKeys::Event& event) {
    using Kind = GlobalHotKeys::EventKind;
    const auto& registrations = layer().registrations;
    switch (event.kind) {
    case Kind::hotKeyPressed:
    case Kind::hotKeyReleased: {
        if (event.hotKeyId.signature != kSignature) {
            return GlobalHotKeys::kEventNotHandled;
        }
        const auto found = registrations.find(event.hotKeyId.id);
        if (found == registrations.end()) {
            return GlobalHotKeys::kEventNotHandled;
        }
        // The callback may unregister this very record.
        const HotKey hotKey = found->second;
        if (event.kind == Kind::hotKeyPressed) {
            hotKey.onKeyDown(hotKey.shortcut);
        } else {
            hotKey.onKeyUp(hotKey.shortcut);
        }
        return GlobalHotKeys::kNoError;
    }
    case Kind::rawKeyDown:
    case Kind::rawKeyUp: {
        const qint64 modifiers = ModifierFlags::normalizedCarbon(event.carbonModifiers);
        for (const auto& [id, record] : registrations) {
            if (record.shortcut.carbonKeyCode == event.keyCode &&
                record.shortcut.carbonModifiers == modifiers) {
                const HotKey hotKey = record;
                if (event.kind == Kind::rawKeyDown) {
                    hotKey.onKeyDown(hotKey.shortcut);
                } else {
                    hotKey.onKeyUp(hotKey.shortcut);
                }
                return GlobalHotKeys::kNoError;
            }
        }
        return GlobalHotKeys::kEventNotHandled;
    }
    }
    return GlobalHotKeys::kEventNotHandled;
}

bool CarbonGlobalShortcuts::isRegistered(const Shortcut& shortcut) {
    for (const auto& [id, hotKey] : layer().registrations) {
        if (hotKey.shortcut == shortcut) {
            return true;
        }
    }
    return false;
}

QString CarbonGlobalShortcuts::lastRefusalReason(const Shortcut& shortcut) {
    return layer().refusals.count(shortcut) ? layer().refusals.at(shortcut) : QString();
}

void CarbonGlobalShortcuts::setGrabbedKeysToFocus(bool on) {
    if (auto* platform = hotKeys()) {
        platform->setGrabbedKeysToFocus(on);
    }
}

void CarbonGlobalShortcuts::setFailureObserver(FailureObserver observer) {
    layer().failureObserver = std::move(observer);
}

int CarbonGlobalShortcuts::registrationCount() {
    return static_cast<int>(layer().registrations.size());
}

void CarbonGlobalShortcuts::resetForTesting() {
    layer() = LayerState{};
}

} // namespace GlobalShortcuts
