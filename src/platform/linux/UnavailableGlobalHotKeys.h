#pragma once

#include "platform/GlobalHotKeys.h"

namespace quorvale::platform {

// A session where no program may take a key combination for itself (a Wayland desktop
// without a working shortcuts portal): every registration fails with the reason given.
class UnavailableGlobalHotKeys : public GlobalHotKeys {
public:
    explicit UnavailableGlobalHotKeys(QString reason)
        : m_reason(std::move(reason)) {}

    bool isAvailable() const override { return false; }
    int registerHotKey(quint32, quint32, HotKeyId, HotKeyRef*) override {
        return kHotKeysUnavailable;
    }
    void unregisterHotKey(HotKeyRef) override {}
    HandlerRef installEventHandler(Handler) override { return ++m_lastHandler; }
    void removeEventHandler(HandlerRef) override {}
    void setHotKeyEventsEnabled(HandlerRef, bool) override {}
    void setRawKeyMonitorActive(HandlerRef, bool) override {}
    void setGrabbedKeysToFocus(bool) override {}
    std::vector<ReservedHotKey> systemReservedHotKeys() const override { return {}; }
    QString describeStatus(int status) const override {
        return status == kHotKeysUnavailable
                   ? m_reason
                   : QStringLiteral("the shortcut could not be registered (status %1)").arg(status);
    }

private:
    QString m_reason;
    HandlerRef m_lastHandler = 0;
};

} // namespace quorvale::platform
