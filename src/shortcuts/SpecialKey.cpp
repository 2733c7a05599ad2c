#include "shortcuts/SpecialKey.h"

#include <QCoreApplication>
#include <QHash>
#include <unordered_map>

namespace GlobalShortcuts {
namespace SpecialKeys {
namespace {

QString capitalized(const QString& text) {
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1);
}

const std::unordered_map<qint64, SpecialKey>& byKeyCode() {
    static const std::unordered_map<qint64, SpecialKey> map = [] {
        std::unordered_map<qint64, SpecialKey> built;
        for (const Entry& entry : table()) {
            built.emplace(entry.keyCode, entry.key);
        }
        return built;
    }();
    return map;
}

bool isFunctionKey(SpecialKey key) {
    return key >= SpecialKey::f1 && key <= SpecialKey::f20;
}

int functionNumber(SpecialKey key) {
    return static_cast<int>(key) - static_cast<int>(SpecialKey::f1) + 1;
}

} // namespace

const std::vector<Entry>& table() {
    using K = SpecialKey;
    static const std::vector<Entry> entries{
        {36, K::return_},
        {51, K::delete_},
        {117, K::deleteForward},
        {119, K::end},
        {53, K::escape},
        {114, K::help},
        {115, K::home},
        {49, K::space},
        {48, K::tab},
        {116, K::pageUp},
        {121, K::pageDown},
        {126, K::upArrow},
        {124, K::rightArrow},
        {125, K::downArrow},
        {123, K::leftArrow},
        {122, K::f1},
        {120, K::f2},
        {99, K::f3},
        {118, K::f4},
        {96, K::f5},
        {97, K::f6},
        {98, K::f7},
        {100, K::f8},
        {101, K::f9},
        {109, K::f10},
        {103, K::f11},
        {111, K::f12},
        {105, K::f13},
        {107, K::f14},
        {113, K::f15},
        {106, K::f16},
        {64, K::f17},
        {79, K::f18},
        {80, K::f19},
        {90, K::f20},
        {82, K::keypad0},
        {83, K::keypad1},
        {84, K::keypad2},
        {85, K::keypad3},
        {86, K::keypad4},
        {87, K::keypad5},
        {88, K::keypad6},
        {89, K::keypad7},
        {91, K::keypad8},
        {92, K::keypad9},
        {71, K::keypadClear},
        {65, K::keypadDecimal},
        {75, K::keypadDivide},
        {76, K::keypadEnter},
        {81, K::keypadEquals},
        {78, K::keypadMinus},
        {67, K::keypadMultiply},
        {69, K::keypadPlus},
    };
    return entries;
}

std::optional<SpecialKey> forKeyCode(qint64 keyCode) {
    const auto& map = byKeyCode();
    const auto found = map.find(keyCode);
    if (found == map.end()) {
        return std::nullopt;
    }
    return found->second;
}

QString displayString(SpecialKey key) {
    using K = SpecialKey;
    if (isFunctionKey(key)) {
        return QStringLiteral("F%1").arg(functionNumber(key));
    }
    if (key >= K::keypad0 && key <= K::keypad9) {
        // The digit in a keycap, as the keypad prints it.
        return QString::number(static_cast<int>(key) - static_cast<int>(K::keypad0)) +
               QChar(0x20E3);
    }
    switch (key) {
    case K::return_:
        return QString(QChar(0x21A9));
    case K::delete_:
        return QString(QChar(0x232B));
    case K::deleteForward:
        return QString(QChar(0x2326));
    case K::end:
        return QString(QChar(0x2198));
    case K::escape:
        return QString(QChar(0x238B));
    case K::help:
        return QStringLiteral("?") + QChar(0x20DD);
    case K::home:
        return QString(QChar(0x2196));
    case K::space:
        return capitalized(localizedString(QStringLiteral("space_key")));
    case K::tab:
        return QString(QChar(0x21E5));
    case K::pageUp:
        return QString(QChar(0x21DE));
    case K::pageDown:
        return QString(QChar(0x21DF));
    case K::upArrow:
        return QString(QChar(0x2191));
    case K::rightArrow:
        return QString(QChar(0x2192));
    case K::downArrow:
        return QString(QChar(0x2193));
    case K::leftArrow:
        return QString(QChar(0x2190));
    case K::keypadClear:
        return QString(QChar(0x2612)) + QChar(0x20E3);
    case K::keypadDecimal:
        return QStringLiteral(".") + QChar(0x20E3);
    case K::keypadDivide:
        return QStringLiteral("/") + QChar(0x20E3);
    case K::keypadEnter:
        return QString(QChar(0x2305));
    case K::keypadEquals:
        return QStringLiteral("=") + QChar(0x20E3);
    case K::keypadMinus:
        return QStringLiteral("-") + QChar(0x20E3);
    case K::keypadMultiply:
        return QStringLiteral("*") + QChar(0x20E3);
    case K::keypadPlus:
        return QStringLiteral("+") + QChar(0x20E3);
    default:
        return {};
    }
}

QString linuxName(SpecialKey key) {
    using K = SpecialKey;
    if (isFunctionKey(key)) {
        return displayString(key);
    }
    if (key >= K::keypad0 && key <= K::keypad9) {
        return QStringLiteral("Keypad %1")
            .arg(static_cast<int>(key) - static_cast<int>(K::keypad0));
    }
    switch (key) {
    case K::return_:
        return QStringLiteral("Return");
    case K::delete_:
        return QStringLiteral("Backspace");
    case K::deleteForward:
        return QStringLiteral("Delete");
    case K::end:
        return QStringLiteral("End");
    case K::escape:
        return QStringLiteral("Esc");
    case K::help:
        return QStringLiteral("Help");
    case K::home:
        return QStringLiteral("Home");
    case K::space:
        return capitalized(localizedString(QStringLiteral("space_key")));
    case K::tab:
        return QStringLiteral("Tab");
    case K::pageUp:
        return QStringLiteral("Page Up");
    case K::pageDown:
        return QStringLiteral("Page Down");
    case K::upArrow:
        return QStringLiteral("Up");
    case K::rightArrow:
        return QStringLiteral("Right");
    case K::downArrow:
        return QStringLiteral("Down");
    case K::leftArrow:
        return QStringLiteral("Left");
    // The key in that place on a PC keypad.
    case K::keypadClear:
        return QStringLiteral("Num Lock");
    case K::keypadDecimal:
        return QStringLiteral("Keypad .");
    case K::keypadDivide:
        return QStringLiteral("Keypad /");
    case K::keypadEnter:
        return QStringLiteral("Keypad Enter");
    case K::keypadEquals:
        return QStringLiteral("Keypad =");
    case K::keypadMinus:
        return QStringLiteral("Keypad -");
    case K::keypadMultiply:
        return QStringLiteral("Keypad *");
    case K::keypadPlus:
        return QStringLiteral("Keypad +");
    default:
        return {};
    }
}

std::optional<QString> menuKeyEquivalent(SpecialKey key) {
    if (isFunctionKey(key)) {
        return QString(QChar(0xF704 + functionNumber(key) - 1));
    }
    if (key >= SpecialKey::keypad0) {
        return std::nullopt;
    }
    if (key == SpecialKey::space) {
        return QStringLiteral(" ");
    }
    return displayString(key);
}

} // namespace SpecialKeys

QString localizedString(const QString& key) {
    // Compiled in, so a missing data file can never leave the recorder without words.
    static const QHash<QString, const char*> texts{
        {QStringLiteral("space_key"), QT_TRANSLATE_NOOP("GlobalShortcuts", "space")},
        {QStringLiteral("record_shortcut"),
         QT_TRANSLATE_NOOP("GlobalShortcuts", "Record Shortcut")},
        {QStringLiteral("press_shortcut"), QT_TRANSLATE_NOOP("GlobalShortcuts", "Press Shortcut")},
        {QStringLiteral("keyboard_shortcut_used_by_menu_item"),
         QT_TRANSLATE_NOOP("GlobalShortcuts",
                           "This shortcut cannot be used because the menu item “%1” uses it.")},
        {QStringLiteral("keyboard_shortcut_used_by_system"),
         QT_TRANSLATE_NOOP("GlobalShortcuts",
                           "This shortcut is already used by the desktop and may not reach "
                           "Quorvale.")},
        {QStringLiteral("keyboard_shortcuts_can_be_changed"),
         QT_TRANSLATE_NOOP("GlobalShortcuts",
                           "Most desktop shortcuts can be changed in your desktop's keyboard "
                           "settings.")},
        {QStringLiteral("ok"), QT_TRANSLATE_NOOP("GlobalShortcuts", "OK")},
        {QStringLiteral("force_use_shortcut"), QT_TRANSLATE_NOOP("GlobalShortcuts", "Use Anyway")},
        {QStringLiteral("keyboard_shortcut_not_registered"),
         QT_TRANSLATE_NOOP("GlobalShortcuts", "The shortcut %1 could not be set up: %2.")},
        {QStringLiteral("keyboard_shortcut_kept"),
         QT_TRANSLATE_NOOP("GlobalShortcuts", "%1 stays in use.")},
        {QStringLiteral("keyboard_shortcut_kept_none"),
         QT_TRANSLATE_NOOP("GlobalShortcuts", "No shortcut is set.")},
    };
    const auto found = texts.find(key);
    return found == texts.end() ? key
                                : QCoreApplication::translate("GlobalShortcuts", found.value());
}

} // namespace GlobalShortcuts
