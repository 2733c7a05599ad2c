#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace GlobalShortcuts {

// Keys named by a fixed symbol instead of what the layout prints on them.
enum class SpecialKey {
    return_,
    delete_,
    deleteForward,
    end,
    escape,
    help,
    home,
    space,
    tab,
    pageUp,
    pageDown,
    upArrow,
    rightArrow,
    downArrow,
    leftArrow,
    f1,
    f2,
    f3,
    f4,
    f5,
    f6,
    f7,
    f8,
    f9,
    f10,
    f11,
    f12,
    f13,
    f14,
    f15,
    f16,
    f17,
    f18,
    f19,
    f20,
    keypad0,
    keypad1,
    keypad2,
    keypad3,
    keypad4,
    keypad5,
    keypad6,
    keypad7,
    keypad8,
    keypad9,
    keypadClear,
    keypadDecimal,
    keypadDivide,
    keypadEnter,
    keypadEquals,
    keypadMinus,
    keypadMultiply,
    keypadPlus,
};

namespace SpecialKeys {

struct Entry {
    qint64 keyCode;
    SpecialKey key;
};

// The 53 (key code, key) pairs, in declaration order.
const std::vector<Entry>& table();
std::optional<SpecialKey> forKeyCode(qint64 keyCode);
QString displayString(SpecialKey key);
// The key's name on a Linux keyboard ("Backspace", "Page Up", "Keypad +").
QString linuxName(SpecialKey key);
// None for keys a menu cannot show (the keypad).
std::optional<QString> menuKeyEquivalent(SpecialKey key);

} // namespace SpecialKeys

// The subsystem's own texts ("space_key", ...), English.
QString localizedString(const QString& key);

} // namespace GlobalShortcuts
