#pragma once

#include "platform/GlobalHotKeys.h"

#include <map>
#include <set>
#include <utility>

namespace quorvale::platform {

// Records registrations and handlers; tests press keys through it.
class FakeGlobalHotKeys : public GlobalHotKeys {
public:
    struct Registration {
        quint32 keyCode = 0;
        quint32 carbonModifiers = 0;
        HotKeyId id;
    };
    struct InstalledHandler {
        Handler handler;
        bool hotKeyEvents = false;
        bool rawKeyMonitor = false;
    };

    bool isAvailable() const override { return available; }
    int registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id,
                       HotKeyRef* ref) override {
        ++registerCalls;
        if (!available) {
            return kHotKeysUnavailable;
        }
        if (takenByOthers.count({keyCode, carbonModifiers})) {
            return kHotKeyExists;
        }
        *ref = ++m_lastRef;
        registrations[*ref] = {keyCode, carbonModifiers, id};
        return kNoError;
    }
    void unregisterHotKey(HotKeyRef ref) override {
        ++unregisterCalls;
        registrations.erase(ref);
    }
    HandlerRef installEventHandler(Handler handler) override {
        if (!canInstallHandler) {
            return 0;
        }
        handlers[++m_lastRef] = {std::move(handler)};
        return m_lastRef;
    }
    void removeEventHandler(HandlerRef handler) override { handlers.erase(handler); }
    void setHotKeyEventsEnabled(HandlerRef handler, bool enabled) override {
        handlers.at(handler).hotKeyEvents = enabled;
    }
    void setRawKeyMonitorActive(HandlerRef handler, bool active) override {
        handlers.at(handler).rawKeyMonitor = active;
    }
    void setGrabbedKeysToFocus(bool on) override { grabbedKeysToFocus = on; }
    std::vector<ReservedHotKey> systemReservedHotKeys() const override { return reserved; }
    QString describeStatus(int status) const override {
        return status == kHotKeyExists ? QStringLiteral("another program uses it")
                                       : QStringLiteral("status %1").arg(status);
    }

    bool isRegistered(quint32 keyCode, quint32 carbonModifiers) const {
        return registrationCount(keyCode, carbonModifiers) > 0;
    }
    int registrationCount(quint32 keyCode, quint32 carbonModifiers) const {
        int count = 0;
        for (const auto& [ref, registration] : registrations) {
            count +=
                registration.keyCode == keyCode && registration.carbonModifiers == carbonModifiers;
        }
        return count;
    }
    // A press and a release of a registered combination, as the system delivers them.
    void pressAndRelease(quint32 keyCode, quint32 carbonModifiers) {
        deliverHotKey(EventKind::hotKeyPressed, keyCode, carbonModifiers);
        deliverHotKey(EventKind::hotKeyReleased, keyCode, carbonModifiers);
    }
    void deliverHotKey(EventKind kind, quint32 keyCode, quint32 carbonModifiers) {
        const auto snapshot = registrations;
        for (const auto& [ref, registration] : snapshot) {
            if (registration.keyCode != keyCode ||
                registration.carbonModifiers != carbonModifiers) {
                continue;
            }
            Event event;
            event.kind = kind;
            event.hotKeyId = registration.id;
            offer(event, &InstalledHandler::hotKeyEvents);
        }
    }
    // True when a monitoring handler consumed the key.
    bool rawKey(bool down, quint32 keyCode, quint32 carbonModifiers) {
        Event event;
        event.kind = down ? EventKind::rawKeyDown : EventKind::rawKeyUp;
        event.keyCode = keyCode;
        event.carbonModifiers = carbonModifiers;
        return offer(event, &InstalledHandler::rawKeyMonitor);
    }

    bool available = true;
    bool grabbedKeysToFocus = false;
    bool canInstallHandler = true;
    std::set<std::pair<quint32, quint32>> takenByOthers;
    std::vector<ReservedHotKey> reserved;
    std::map<HotKeyRef, Registration> registrations;
    std::map<HandlerRef, InstalledHandler> handlers;
    int registerCalls = 0;
    int unregisterCalls = 0;

private:
    bool offer(const Event& event, bool InstalledHandler::*enabled) {
        const auto snapshot = handlers;
        for (const auto& [ref, installed] : snapshot) {
            if (installed.*enabled && installed.handler(event) == kNoError) {
                return true;
            }
        }
        return false;
    }

    quint64 m_lastRef = 0;
};

} // namespace quorvale::platform
