#pragma once

#include "platform/GlobalHotKeys.h"

#include <QString>
#include <optional>
#include <vector>

namespace quorvale::platform {

// The key combinations a desktop keeps for itself, read from its own settings files:
// KDE Plasma (kglobalshortcutsrc) and Xfce (xfce4-keyboard-shortcuts.xml). Other desktops
// publish none that can be read without their libraries; they give an empty list.
class DesktopReservedShortcuts {
public:
    // From $XDG_CONFIG_HOME (or ~/.config).
    static std::vector<GlobalHotKeys::ReservedHotKey> read();
    static std::vector<GlobalHotKeys::ReservedHotKey> read(const QString& configHome);

    // "Meta+Shift+E" as KDE writes it.
    static std::optional<GlobalHotKeys::ReservedHotKey> parseKde(const QString& text);
    // "<Primary><Alt>Delete" as GTK and Xfce write it.
    static std::optional<GlobalHotKeys::ReservedHotKey> parseGtk(const QString& text);
};

} // namespace quorvale::platform
