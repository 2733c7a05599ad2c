#pragma once

#include "shortcuts/Name.h"

#include <optional>

class QAction;

namespace GlobalShortcuts {

// Keeps a menu item's key sequence in step with a shortcut or a named slot.
class MenuItemShortcut {
public:
    static void set(QAction* item, const std::optional<Shortcut>& shortcut);
    // Follows the name's stored shortcut until another name (or none) is bound.
    static void bind(QAction* item, const std::optional<Name>& name);
};

} // namespace GlobalShortcuts
