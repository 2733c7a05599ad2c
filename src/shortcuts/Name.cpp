#include "shortcuts/Name.h"

#include "shortcuts/GlobalShortcuts.h"
#include "shortcuts/ModifierFlags.h"

namespace GlobalShortcuts {
namespace {

constexpr qint64 kOptionCommand = ModifierFlags::kCarbonOption | ModifierFlags::kCarbonCommand;

} // namespace

Name::Name(QString raw, std::optional<Shortcut> shortcut)
    : rawValue(std::move(raw))
    , defaultShortcut(shortcut) {
    if (defaultShortcut && !detail::hasStoredObject(*this)) {
        GlobalShortcuts::setShortcut(defaultShortcut, *this);
    }
    detail::installMenuObservers();
    detail::remember(*this);
}

Name::Name(QString raw)
    : rawValue(std::move(raw)) {
    detail::installMenuObservers();
    detail::remember(*this);
}

std::optional<Shortcut> Name::shortcut() const {
    return getShortcut(*this);
}

void Name::setShortcut(const std::optional<Shortcut>& shortcut) const {
    GlobalShortcuts::setShortcut(shortcut, *this);
}

const Name& Name::captureAndCopy() {
    return detail::declared(QStringLiteral("captureAndCopy"),
                            Shortcut(Key::p().rawValue, kOptionCommand));
}

const Name& Name::captureAndCopyWindowMode() {
    return detail::declared(QStringLiteral("captureAndCopyWindowMode"),
                            Shortcut(Key::o().rawValue, kOptionCommand));
}

const Name& Name::captureFromFile() {
    return detail::declared(QStringLiteral("captureFromFile"),
                            Shortcut(Key::i().rawValue, kOptionCommand));
}

const Name& Name::captureFromPhotos() {
    return detail::declared(QStringLiteral("captureFromPhotos"),
                            Shortcut(Key::u().rawValue, kOptionCommand));
}

} // namespace GlobalShortcuts
