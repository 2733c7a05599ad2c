#include "shortcuts/Shortcut.h"

#include "platform/Platform.h"
#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/SpecialKey.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <cmath>

namespace GlobalShortcuts {
namespace {

// Title case for one word: the first letter upper, the rest as is.
QString capitalized(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    const char32_t first = text.toUcs4().front();
    const qsizetype firstLength = QChar::requiresSurrogates(first) ? 2 : 1;
    return QString::fromUcs4(std::u32string(1, QChar::toTitleCase(first)).data(), 1) +
           text.mid(firstLength).toLower();
}

bool isSingleGrapheme(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    return finder.toNextBoundary() == text.size();
}

std::optional<qint64> integerMember(const QJsonObject& object, const char* name) {
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number != std::trunc(number) || std::abs(number) > 9.007199254740992e15) {
        return std::nullopt;
    }
    return static_cast<qint64>(number);
}

Qt::Key qtKeyFor(const QString& equivalent) {
    static const QHash<QString, Qt::Key> specials{
        {QString(QChar(0x21A9)), Qt::Key_Return},
        {QString(QChar(0x232B)), Qt::Key_Backspace},
        {QString(QChar(0x2326)), Qt::Key_Delete},
        {QString(QChar(0x2198)), Qt::Key_End},
        {QString(QChar(0x238B)), Qt::Key_Escape},
        {QStringLiteral("?") + QChar(0x20DD), Qt::Key_Help},
        {QString(QChar(0x2196)), Qt::Key_Home},
        {QStringLiteral(" "), Qt::Key_Space},
        {QString(QChar(0x21E5)), Qt::Key_Tab},
        {QString(QChar(0x21DE)), Qt::Key_PageUp},
        {QString(QChar(0x21DF)), Qt::Key_PageDown},
        {QString(QChar(0x2191)), Qt::Key_Up},
        {QString(QChar(0x2192)), Qt::Key_Right},
        {QString(QChar(0x2193)), Qt::Key_Down},
        {QString(QChar(0x2190)), Qt::Key_Left},
    };
    if (const auto found = specials.find(equivalent); found != specials.end()) {
        return found.value();
    }
    const char32_t code = equivalent.toUcs4().value(0);
    if (code >= 0xF704 && code <= 0xF717) {
        return static_cast<Qt::Key>(Qt::Key_F1 + (code - 0xF704));
    }
    // Qt names printable keys by their upper-case code point.
    return static_cast<Qt::Key>(QChar::toUpper(code));
}

} // namespace

Shortcut::Shortcut(qint64 keyCode, qint64 modifiers)
    : carbonKeyCode(keyCode)
    , carbonModifiers(ModifierFlags::normalizedCarbon(modifiers)) {}

Shortcut::Shortcut(Key key, quint64 modifierFlags)
    : Shortcut(key.rawValue, ModifierFlags::flagsToCarbon(modifierFlags)) {}

std::optional<Shortcut> Shortcut::fromEvent(const KeyEvent& event) {
    if (event.type == KeyEvent::Type::other) {
        return std::nullopt;
    }
    return Shortcut(event.keyCode,
                    ModifierFlags::flagsToCarbon(event.modifierFlags & ~ModifierFlags::kFunction));
}

std::optional<Shortcut> Shortcut::fromName(const Name& name) {
    return getShortcut(name);
}

Shortcut Shortcut::stored(qint64 keyCode, qint64 modifiers) {
    Shortcut shortcut;
    shortcut.carbonKeyCode = keyCode;
    shortcut.carbonModifiers = modifiers;
    return shortcut;
}

quint64 Shortcut::modifiers() const {
    return ModifierFlags::carbonToFlags(carbonModifiers);
}

QString Shortcut::description() const {
    QString keyPart;
    if (const auto special = SpecialKeys::forKeyCode(carbonKeyCode)) {
        keyPart = SpecialKeys::displayString(*special);
    } else {
        keyPart = capitalized(layoutCharacter(carbonKeyCode).value_or(QString(QChar(0xFFFD))));
    }
    return ks_symbolicRepresentation(modifiers()) + keyPart;
}

QString Shortcut::displayString() const {
    const quint64 flags = modifiers();
    QStringList parts;
    if (flags & ModifierFlags::kCommand) {
        parts.append(QStringLiteral("Super"));
    }
    if (flags & ModifierFlags::kControl) {
        parts.append(QStringLiteral("Ctrl"));
    }
    if (flags & ModifierFlags::kOption) {
        parts.append(QStringLiteral("Alt"));
    }
    if (flags & ModifierFlags::kShift) {
        parts.append(QStringLiteral("Shift"));
    }
    if (flags & ModifierFlags::kFunction) {
        parts.append(QStringLiteral("Fn"));
    }
    if (const auto special = SpecialKeys::forKeyCode(carbonKeyCode)) {
        parts.append(SpecialKeys::linuxName(*special));
    } else {
        // A layout that cannot be read must not leave a replacement character behind.
        const auto character = layoutCharacter(carbonKeyCode);
        parts.append(character ? character->toUpper() : QStringLiteral("Key%1").arg(carbonKeyCode));
    }
    return parts.join(u'+');
}

std::optional<QString> Shortcut::nsMenuItemKeyEquivalent() const {
    if (const auto special = SpecialKeys::forKeyCode(carbonKeyCode)) {
        return SpecialKeys::menuKeyEquivalent(*special);
    }
    return layoutCharacter(carbonKeyCode);
}

QKeySequence Shortcut::keySequence() const {
    const auto equivalent = nsMenuItemKeyEquivalent();
    if (!equivalent) {
        return {};
    }
    // Keyboard position decides: Command is the Super key, Option is Alt.
    const quint64 flags = modifiers();
    Qt::KeyboardModifiers qtModifiers;
    if (flags & ModifierFlags::kCommand) {
        qtModifiers |= Qt::MetaModifier;
    }
    if (flags & ModifierFlags::kOption) {
        qtModifiers |= Qt::AltModifier;
    }
    if (flags & ModifierFlags::kControl) {
        qtModifiers |= Qt::ControlModifier;
    }
    if (flags & ModifierFlags::kShift) {
        qtModifiers |= Qt::ShiftModifier;
    }
    return QKeySequence(QKeyCombination(qtModifiers, qtKeyFor(*equivalent)));
}

QByteArray Shortcut::toJson() const {
    QJsonObject object;
    object.insert(QStringLiteral("carbonKeyCode"), carbonKeyCode);
    object.insert(QStringLiteral("carbonModifiers"), carbonModifiers);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Shortcut> Shortcut::fromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const auto keyCode = integerMember(object, "carbonKeyCode");
    const auto modifiers = integerMember(object, "carbonModifiers");
    if (!keyCode || !modifiers) {
        return std::nullopt;
    }
    return stored(*keyCode, *modifiers);
}

std::optional<QString> layoutCharacter(qint64 keyCode) {
    const auto& layout = quorvale::platform::current().keyboardLayout;
    if (!layout || SpecialKeys::forKeyCode(keyCode)) {
        return std::nullopt;
    }
    if (keyCode < 0 || keyCode > 0xFFFF) {
        qFatal("key code %lld does not fit in 16 bits", static_cast<long long>(keyCode));
    }
    const QString text = layout->characterForKeyCode(keyCode);
    if (!isSingleGrapheme(text)) {
        return std::nullopt;
    }
    return text;
}

} // namespace GlobalShortcuts
