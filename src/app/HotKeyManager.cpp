#include "app/HotKeyManager.h"

#include "platform/Platform.h"

namespace quorvale {
namespace {

quint32 nextId() {
    static quint32 lastId = 0;
    return ++lastId;
}

} // namespace

HotKeyManager::HotKeyManager(quint32 keyCode, Modifiers modifiers, std::function<void()> handler)
    : m_keyCode(keyCode)
    , m_modifiers(modifiers)
    , m_handler(std::move(handler))
    , m_hotKeys(platform::current().hotKeys) {}

HotKeyManager::~HotKeyManager() {
    unregisterHotKey();
    if (m_hotKeys && m_eventHandler) {
        m_hotKeys->removeEventHandler(m_eventHandler);
    }
}

int HotKeyManager::registerHotKey() {
    if (!m_hotKeys) {
        return platform::GlobalHotKeys::kHotKeysUnavailable;
    }
    unregisterHotKey();
    m_id = nextId();
    platform::GlobalHotKeys::HotKeyRef ref = 0;
    const int status =
        m_hotKeys->registerHotKey(m_keyCode, m_modifiers.rawValue, {kSignature, m_id}, &ref);
    if (status != platform::GlobalHotKeys::kNoError) {
        return status;
    }
    m_hotKeyRef = ref;
    if (!m_eventHandler) {
        m_eventHandler = m_hotKeys->installEventHandler(
            [this](const platform::GlobalHotKeys::Event& event) { return handle(event); });
        if (m_eventHandler) {
            m_hotKeys->setHotKeyEventsEnabled(m_eventHandler, true);
        }
    }
    return status;
}

void HotKeyManager::unregisterHotKey() {
    if (m_hotKeyRef && m_hotKeys) {
        m_hotKeys->unregisterHotKey(*m_hotKeyRef);
    }
    m_hotKeyRef.reset();
}

int HotKeyManager::handle(const platform::GlobalHotKeys::Event& event) {
    using Kind = platform::GlobalHotKeys::EventKind;
    if ((event.kind != Kind::hotKeyPressed && event.kind != Kind::hotKeyReleased) ||
        event.hotKeyId != platform::GlobalHotKeys::HotKeyId{kSignature, m_id} || !m_hotKeyRef) {
        return platform::GlobalHotKeys::kEventNotHandled;
    }
    if (event.kind == Kind::hotKeyPressed && m_handler) {
        m_handler();
    }
    return platform::GlobalHotKeys::kNoError;
}

} // namespace quorvale
