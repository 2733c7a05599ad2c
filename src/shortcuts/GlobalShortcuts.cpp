#include "shortcuts/GlobalShortcuts.h"

#include "platform/Platform.h"
#include "shared/Log.h"
#include "shared/NotificationCenter.h"
#include "shortcuts/CarbonGlobalShortcuts.h"
#include "shortcuts/DesktopBoundShortcuts.h"
#include "shortcuts/MenuTrackingObserver.h"

#include <chrono>
#include <map>
#include <memory>
#include <unordered_set>

namespace GlobalShortcuts {
namespace {

struct CallbackList {
    Name name;
    std::vector<Action> actions;
};

// Keyed by raw value; ordered so that dispatch order does not depend on hashing.
using CallbackMap = std::map<QString, CallbackList>;
using StreamMap = std::map<QString, std::pair<Name, std::map<QUuid, Action>>>;

struct State {
    bool isEnabled = true;
    std::unordered_set<Shortcut> hotKeyShortcuts;
    CallbackMap keyDownCallbacks;
    CallbackMap keyUpCallbacks;
    StreamMap keyDownStreamCallbacks;
    StreamMap keyUpStreamCallbacks;
    bool dispatchSuspended = false;
    bool menuTracking = false;
    bool menuObserversInstalled = false;
    std::unique_ptr<MenuTrackingObserver> menuObserver;
    std::map<QString, Name> declaredNames;
    std::map<QString, Name> knownNames;
};

State& state() {
    static State instance;
    return instance;
}

quorvale::platform::DefaultsStore* store() {
    return quorvale::platform::current().defaults.get();
}

QString keyFor(const Name& name) {
    return kKeyPrefix + name.rawValue;
}

void registerHotKey(const Shortcut& shortcut) {
    auto& s = state();
    if (s.hotKeyShortcuts.count(shortcut)) {
        return;
    }
    CarbonGlobalShortcuts::registerShortcut(
        shortcut, [](const Shortcut& pressed) { dispatchKeyEvent(EventType::keyDown, pressed); },
        [](const Shortcut& released) { dispatchKeyEvent(EventType::keyUp, released); });
    s.hotKeyShortcuts.insert(shortcut);
}

void unregisterHotKey(const Shortcut& shortcut) {
    CarbonGlobalShortcuts::unregister(shortcut);
    state().hotKeyShortcuts.erase(shortcut);
}

// Unregistering a shortcut that two names share would silently kill it for the name that
// keeps it; such a shortcut is grabbed again.
void keepForOtherHolders(const Shortcut& shortcut) {
    for (const auto& [raw, name] : state().knownNames) {
        if (getShortcut(name) == shortcut) {
            registerHotKey(shortcut);
            return;
        }
    }
}

void postShortcutChange(const Name& name) {
    quorvale::NotificationCenter::defaultCenter().post(
        kShortcutByNameDidChange, {{QStringLiteral("name"), QVariant::fromValue(name)}});
}

std::unordered_set<Shortcut> storedShortcutsOf(const CallbackMap& map) {
    std::unordered_set<Shortcut> shortcuts;
    for (const auto& [raw, list] : map) {
        if (const auto shortcut = getShortcut(list.name)) {
            shortcuts.insert(*shortcut);
        }
    }
    return shortcuts;
}

std::unordered_set<Shortcut> storedShortcutsOf(const StreamMap& map) {
    std::unordered_set<Shortcut> shortcuts;
    for (const auto& [raw, entry] : map) {
        if (const auto shortcut = getShortcut(entry.first)) {
            shortcuts.insert(*shortcut);
        }
    }
    return shortcuts;
}

std::unordered_set<Shortcut> streamShortcuts() {
    auto shortcuts = storedShortcutsOf(state().keyDownStreamCallbacks);
    shortcuts.merge(storedShortcutsOf(state().keyUpStreamCallbacks));
    return shortcuts;
}

void addCallback(CallbackMap& map, const Name& name, Action action) {
    auto [entry, inserted] = map.try_emplace(name.rawValue, CallbackList{name, {}});
    entry->second.actions.push_back(std::move(action));
    if (const auto shortcut = getShortcut(name)) {
        registerHotKey(*shortcut);
    }
}

} // namespace

std::optional<Shortcut> getShortcut(const Name& name) {
    auto* defaults = store();
    if (!defaults) {
        return std::nullopt;
    }
    const QVariant value = defaults->objectForKey(keyFor(name));
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return Shortcut::fromJson(value.toString().toUtf8());
}

void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    auto* defaults = store();
    if (!defaults) {
        return;
    }
    if (!shortcut) {
        const auto old = getShortcut(name);
        if (!old) {
            return;
        }
        defaults->setObject(name.defaultShortcut ? QVariant(false) : QVariant(), keyFor(name));
        unregisterHotKey(*old);
        keepForOtherHolders(*old);
        postShortcutChange(name);
        return;
    }
    const QByteArray json = shortcut->toJson();
    const QString text = QString::fromUtf8(json);
    if (json.isEmpty() || text.toUtf8() != json) {
        return;
    }
    const auto old = getShortcut(name);
    if (old) {
        unregisterHotKey(*old);
    }
    registerHotKey(*shortcut);
    defaults->setObject(text, keyFor(name));
    if (old && *old != *shortcut) {
        keepForOtherHolders(*old);
    }
    postShortcutChange(name);
}

void onKeyDown(const Name& name, Action action) {
    addCallback(state().keyDownCallbacks, name, std::move(action));
}

void onKeyUp(const Name& name, Action action) {
    addCallback(state().keyUpCallbacks, name, std::move(action));
}

void removeHandler(const Name& name) {
    auto& s = state();
    s.keyDownCallbacks.erase(name.rawValue);
    s.keyUpCallbacks.erase(name.rawValue);
    if (const auto shortcut = getShortcut(name); shortcut && !streamShortcuts().count(*shortcut)) {
        unregisterHotKey(*shortcut);
    }
}

void removeAllHandlers() {
    auto& s = state();
    auto shortcuts = storedShortcutsOf(s.keyDownCallbacks);
    shortcuts.merge(storedShortcutsOf(s.keyUpCallbacks));
    const auto kept = streamShortcuts();
    for (const Shortcut& shortcut : shortcuts) {
        if (!kept.count(shortcut)) {
            unregisterHotKey(shortcut);
        }
    }
    s.keyDownCallbacks.clear();
    s.keyUpCallbacks.clear();
}

bool isEnabled() {
    return state().isEnabled;
}

void setEnabled(bool enabled) {
    if (state().isEnabled == enabled) {
        return;
    }
    state().isEnabled = enabled;
    CarbonGlobalShortcuts::refreshEventHandling();
}

bool isEnabled(const Name& name) {
    if (!state().isEnabled) {
        return false;
    }
    const auto shortcut = getShortcut(name);
    return shortcut && state().hotKeyShortcuts.count(*shortcut);
}

void disable(const std::vector<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name)) {
            unregisterHotKey(*shortcut);
        }
    }
}

void enable(const std::vector<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name)) {
            registerHotKey(*shortcut);
        }
    }
}

void reset(const std::vector<Name>& names) {
    for (const Name& name : names) {
        setShortcut(name.defaultShortcut, name);
    }
}

void resetAll() {
    // The store cannot list its keys: the names this process has made stand for them.
    QStringList rawValues;
    for (const auto& [raw, name] : state().knownNames) {
        if (detail::hasStoredObject(name)) {
            rawValues.append(raw);
        }
    }
    std::vector<Name> stored;
    for (const QString& raw : rawValues) {
        stored.emplace_back(raw);
    }
    reset(stored);
}

bool dispatchSuspended() {
    return state().dispatchSuspended;
}

void setDispatchSuspended(bool suspended) {
    state().dispatchSuspended = suspended;
    // Our own grabs would otherwise take the very keys a recorder waits for.
    CarbonGlobalShortcuts::setGrabbedKeysToFocus(suspended);
}

bool isMenuTracking() {
    return state().menuTracking;
}

void dispatchKeyEvent(EventType type, const Shortcut& shortcut) {
    auto& s = state();
    if (s.dispatchSuspended) {
        return;
    }
    const bool down = type == EventType::keyDown;
    // Callbacks may change the maps; run over what was there when the key was pressed.
    const CallbackMap callbacks = down ? s.keyDownCallbacks : s.keyUpCallbacks;
    for (const auto& [raw, list] : callbacks) {
        if (getShortcut(list.name) == shortcut) {
            qCDebug(quorvale::Log::debug, "shortcut %s %s at %.3f", down ? "keyDown" : "keyUp",
                    qPrintable(raw),
                    std::chrono::duration<double, std::milli>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
            for (const Action& action : list.actions) {
                action();
            }
        }
    }
    const StreamMap streams = down ? s.keyDownStreamCallbacks : s.keyUpStreamCallbacks;
    for (const auto& [raw, entry] : streams) {
        if (getShortcut(entry.first) == shortcut) {
            for (const auto& [id, action] : entry.second) {
                action();
            }
        }
    }
}

void dispatchDesktopTrigger(const Name& name) {
    auto& s = state();
    // As a grab would be: off while shortcuts are switched off, a recorder records or one of
    // our menus has the keyboard.
    if (s.dispatchSuspended || !s.isEnabled || s.menuTracking) {
        return;
    }
    qCDebug(quorvale::Log::debug, "shortcut %s triggered by the desktop",
            qPrintable(name.rawValue));
    for (const bool down : {true, false}) {
        // Callbacks may change the maps; run over what was there at the press.
        const CallbackMap callbacks = down ? s.keyDownCallbacks : s.keyUpCallbacks;
        if (const auto found = callbacks.find(name.rawValue); found != callbacks.end()) {
            for (const Action& action : found->second.actions) {
                action();
            }
        }
        const StreamMap streams = down ? s.keyDownStreamCallbacks : s.keyUpStreamCallbacks;
        if (const auto found = streams.find(name.rawValue); found != streams.end()) {
            for (const auto& [id, action] : found->second.second) {
                action();
            }
        }
    }
}

namespace detail {

bool hasStoredObject(const Name& name) {
    auto* defaults = store();
    return defaults && defaults->objectForKey(keyFor(name)).isValid();
}

void installMenuObservers() {
    auto& s = state();
    if (s.menuObserversInstalled) {
        return;
    }
    s.menuObserversInstalled = true;
    s.menuObserver = std::make_unique<MenuTrackingObserver>(&menuTrackingBegan, &menuTrackingEnded);
}

void menuTrackingBegan() {
    const bool was = std::exchange(state().menuTracking, true);
    if (!was) {
        CarbonGlobalShortcuts::refreshEventHandling();
    }
}

void menuTrackingEnded() {
    const bool was = std::exchange(state().menuTracking, false);
    if (was) {
        CarbonGlobalShortcuts::refreshEventHandling();
    }
}

void remember(const Name& name) {
    state().knownNames.try_emplace(name.rawValue, name);
}

const Name& declared(const QString& rawValue, const Shortcut& defaultShortcut) {
    auto& names = state().declaredNames;
    if (const auto found = names.find(rawValue); found != names.end()) {
        return found->second;
    }
    Name name(rawValue, defaultShortcut);
    return state().declaredNames.emplace(rawValue, std::move(name)).first->second;
}

bool isHotKeyShortcut(const Shortcut& shortcut) {
    return state().hotKeyShortcuts.count(shortcut) > 0;
}

void addStreamCallbacks(const Name& name, const QUuid& id, Action onKeyDown, Action onKeyUp) {
    auto& s = state();
    s.keyDownStreamCallbacks.try_emplace(name.rawValue, name, std::map<QUuid, Action>{})
        .first->second.second[id] = std::move(onKeyDown);
    s.keyUpStreamCallbacks.try_emplace(name.rawValue, name, std::map<QUuid, Action>{})
        .first->second.second[id] = std::move(onKeyUp);
    if (const auto shortcut = getShortcut(name)) {
        registerHotKey(*shortcut);
    }
}

void removeStreamCallbacks(const Name& name, const QUuid& id) {
    auto& s = state();
    for (StreamMap* map : {&s.keyDownStreamCallbacks, &s.keyUpStreamCallbacks}) {
        if (const auto found = map->find(name.rawValue); found != map->end()) {
            found->second.second.erase(id);
            if (found->second.second.empty()) {
                map->erase(found);
            }
        }
    }
    const auto shortcut = getShortcut(name);
    if (!shortcut) {
        return;
    }
    auto inUse = storedShortcutsOf(s.keyDownCallbacks);
    inUse.merge(storedShortcutsOf(s.keyUpCallbacks));
    inUse.merge(streamShortcuts());
    if (!inUse.count(*shortcut)) {
        unregisterHotKey(*shortcut);
    }
}

void resetForTesting() {
    CarbonGlobalShortcuts::resetForTesting();
    DesktopBound::resetForTesting();
    state() = State{};
}

} // namespace detail

} // namespace GlobalShortcuts
