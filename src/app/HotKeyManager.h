#pragma once

#include "platform/GlobalHotKeys.h"

#include <QtGlobal>
#include <functional>
#include <initializer_list>
#include <optional>

namespace quorvale {

// One system-wide hot key on its own, beside the named shortcuts: a key code, modifiers and
// a handler run on each press.
class HotKeyManager {
public:
    // Carbon modifier bits as an option set.
    struct Modifiers {
        quint32 rawValue = 0;

        static constexpr quint32 kCommand = platform::GlobalHotKeys::kCarbonCommand;
        static constexpr quint32 kShift = platform::GlobalHotKeys::kCarbonShift;
        static constexpr quint32 kOption = platform::GlobalHotKeys::kCarbonOption;
        static constexpr quint32 kControl = platform::GlobalHotKeys::kCarbonControl;
        static constexpr quint32 kFunction = platform::GlobalHotKeys::kCarbonFunction;

        constexpr Modifiers() = default;
        constexpr explicit Modifiers(quint32 raw)
            : rawValue(raw) {}
        constexpr Modifiers(std::initializer_list<Modifiers> members) {
            for (Modifiers member : members) {
                rawValue |= member.rawValue;
            }
        }
        static constexpr Modifiers command() { return Modifiers(kCommand); }
        static constexpr Modifiers shift() { return Modifiers(kShift); }
        static constexpr Modifiers option() { return Modifiers(kOption); }
        static constexpr Modifiers control() { return Modifiers(kControl); }
        static constexpr Modifiers function() { return Modifiers(kFunction); }

        constexpr Modifiers unionWith(Modifiers other) const {
            return Modifiers(rawValue | other.rawValue);
        }
        constexpr Modifiers intersection(Modifiers other) const {
            return Modifiers(rawValue & other.rawValue);
        }
        constexpr Modifiers symmetricDifference(Modifiers other) const {
            return Modifiers(rawValue ^ other.rawValue);
        }
        constexpr Modifiers subtracting(Modifiers other) const {
            return Modifiers(rawValue & ~other.rawValue);
        }
        constexpr bool contains(Modifiers member) const {
            return (rawValue & member.rawValue) == member.rawValue;
        }
        constexpr void insert(Modifiers member) { rawValue |= member.rawValue; }
        constexpr void remove(Modifiers member) { rawValue &= ~member.rawValue; }
        constexpr void update(Modifiers member) { insert(member); }
        constexpr void subtract(Modifiers other) { remove(other); }
        constexpr bool isSubset(Modifiers of) const { return of.contains(*this); }
        constexpr bool isSuperset(Modifiers of) const { return contains(of); }
        constexpr bool isDisjoint(Modifiers with) const { return (rawValue & with.rawValue) == 0; }
        constexpr bool isEmpty() const { return rawValue == 0; }
        friend constexpr bool operator==(Modifiers, Modifiers) = default;
    };

    static constexpr quint32 kSignature = 0x5156484B; // 'QVHK'

    HotKeyManager(quint32 keyCode, Modifiers modifiers, std::function<void()> handler);
    ~HotKeyManager();
    HotKeyManager(const HotKeyManager&) = delete;
    HotKeyManager& operator=(const HotKeyManager&) = delete;

    // The platform's status: kNoError once the hot key is live.
    int registerHotKey();
    void unregisterHotKey();

    quint32 keyCode() const { return m_keyCode; }
    Modifiers modifiers() const { return m_modifiers; }
    std::optional<platform::GlobalHotKeys::HotKeyRef> hotKeyRef() const { return m_hotKeyRef; }
    quint32 id() const { return m_id; }

private:
    int handle(const platform::GlobalHotKeys::Event& event);

    quint32 m_keyCode;
    Modifiers m_modifiers;
    std::function<void()> m_handler;
    std::optional<platform::GlobalHotKeys::HotKeyRef> m_hotKeyRef;
    quint32 m_id = 0;
    platform::GlobalHotKeys::HandlerRef m_eventHandler = 0;
    // The service it registered with, kept for unregistering at destruction.
    std::shared_ptr<platform::GlobalHotKeys> m_hotKeys;
};

} // namespace quorvale
