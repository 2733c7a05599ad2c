#pragma once

#include "shortcuts/Key.h"

#include <QByteArray>
#include <QKeySequence>
#include <QString>
#include <optional>

namespace GlobalShortcuts {

class Name;

// A key event as the recorder sees it: virtual key code and platform modifier flags.
struct KeyEvent {
    enum class Type { keyDown, keyUp, other };
    Type type = Type::other;
    qint64 keyCode = 0;
    quint64 modifierFlags = 0;
};

// A key plus modifiers, kept as a virtual key code and Carbon modifier bits.
class Shortcut {
public:
    // The modifiers are normalised: bits outside the five supported ones are dropped.
    Shortcut(qint64 carbonKeyCode, qint64 carbonModifiers);
    Shortcut(Key key, quint64 modifierFlags);

    // Only key-down and key-up events make a shortcut; Fn never comes along.
    static std::optional<Shortcut> fromEvent(const KeyEvent& event);
    static std::optional<Shortcut> fromName(const Name& name);
    // Exactly as stored: no normalisation.
    static Shortcut stored(qint64 carbonKeyCode, qint64 carbonModifiers);

    qint64 carbonKeyCode = 0;
    qint64 carbonModifiers = 0;

    Key key() const { return Key(carbonKeyCode); }
    quint64 modifiers() const;

    // Modifier symbols, then the key as the current layout shows it ("⌥⌘P").
    QString description() const;
    // What a person reads on Linux: "Super+Alt+P", "Ctrl+Shift+F5".
    QString displayString() const;
    // What a menu item answers to (on Linux, the key of a Qt action); none when the key has no
    // menu equivalent.
    std::optional<QString> nsMenuItemKeyEquivalent() const;
    // The same for Qt menus; empty when the key has none.
    QKeySequence keySequence() const;

    // Compact JSON object {"carbonKeyCode":…,"carbonModifiers":…}.
    QByteArray toJson() const;
    // Both members must be integers; anything else is no shortcut.
    static std::optional<Shortcut> fromJson(const QByteArray& json);

    friend bool operator==(const Shortcut&, const Shortcut&) = default;

private:
    Shortcut() = default;
};

// The character the key prints pressed alone in the current layout; none for special keys.
std::optional<QString> layoutCharacter(qint64 keyCode);

} // namespace GlobalShortcuts

template <> struct std::hash<GlobalShortcuts::Shortcut> {
    std::size_t operator()(const GlobalShortcuts::Shortcut& shortcut) const noexcept {
        return std::hash<qint64>()(shortcut.carbonKeyCode) * 31 +
               std::hash<qint64>()(shortcut.carbonModifiers);
    }
};
