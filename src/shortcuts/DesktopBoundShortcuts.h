#pragma once

#include "shortcuts/Name.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Shortcuts on a desktop that binds them itself and picks their keys (a Wayland desktop's
// shortcuts portal) instead of letting the app grab a key combination. GUI thread only.
namespace GlobalShortcuts::DesktopBound {

enum class State {
    notOffered, // the desktop binds nothing for us: shortcuts are key grabs or nothing
    asking,
    bound,   // the desktop took at least one of the names
    refused, // it took none
};

// Posted whenever the state or a trigger changes.
inline const QString kDidChange = QStringLiteral("GlobalShortcuts_desktopBindingDidChange");

// Where the desktop binds shortcuts, asks it once to take these names, each under the title
// the user knows it by; a press of one runs the name's callbacks as its key would elsewhere.
// `refused` runs once if the first answer takes none of them.
void request(const std::vector<std::pair<Name, QString>>& titledNames,
             std::function<void()> refused = {});
State state();
// What the desktop says to press: none when it did not take the name, empty when it took the
// name without saying.
std::optional<QString> trigger(const Name& name);
// A shortcut in the freedesktop shortcuts format ("LOGO+ALT+p"), offered to the desktop as a
// proposal; none for what that format cannot name here.
std::optional<QString> preferredTrigger(const Shortcut& shortcut);

void resetForTesting();

} // namespace GlobalShortcuts::DesktopBound
