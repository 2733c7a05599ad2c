#pragma once

#include "shortcuts/Shortcut.h"

#include <QHashFunctions>
#include <QMetaType>
#include <QString>
#include <optional>

namespace GlobalShortcuts {

// A shortcut slot. Its shortcut lives in the defaults store under "GlobalShortcuts_" + rawValue.
class Name {
public:
    // Stores and registers the default when the store has nothing at all under the key.
    Name(QString rawValue, std::optional<Shortcut> defaultShortcut);
    explicit Name(QString rawValue);
    Name() = default; // for QVariant

    QString rawValue;
    std::optional<Shortcut> defaultShortcut;

    std::optional<Shortcut> shortcut() const;
    void setShortcut(const std::optional<Shortcut>& shortcut) const;

    friend bool operator==(const Name& a, const Name& b) { return a.rawValue == b.rawValue; }

    // The application's four slots, each declared once on first use.
    static const Name& captureAndCopy();
    static const Name& captureAndCopyWindowMode();
    static const Name& captureFromFile();
    static const Name& captureFromPhotos();
};

} // namespace GlobalShortcuts

Q_DECLARE_METATYPE(GlobalShortcuts::Name)

template <> struct std::hash<GlobalShortcuts::Name> {
    std::size_t operator()(const GlobalShortcuts::Name& name) const noexcept {
        return qHash(name.rawValue);
    }
};
