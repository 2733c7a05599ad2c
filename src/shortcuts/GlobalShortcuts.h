#pragma once

#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"

#include <QString>
#include <QUuid>
#include <functional>
#include <optional>
#include <vector>

// Named, stored shortcuts and the callbacks that run when they are pressed anywhere.
// Process-wide state; GUI thread only.
namespace GlobalShortcuts {

enum class EventType { keyDown, keyUp };
using Action = std::function<void()>;

inline const QString kKeyPrefix = QStringLiteral("GlobalShortcuts_");
inline const QString kShortcutByNameDidChange =
    QStringLiteral("GlobalShortcuts_shortcutByNameDidChange");

std::optional<Shortcut> getShortcut(const Name& name);
void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);

void onKeyDown(const Name& name, Action action);
void onKeyUp(const Name& name, Action action);
void removeHandler(const Name& name);
void removeAllHandlers();

bool isEnabled();
// Suspends every hot key when false, re-arms them when true.
void setEnabled(bool enabled);
bool isEnabled(const Name& name);
void disable(const std::vector<Name>& names);
void enable(const std::vector<Name>& names);
void reset(const std::vector<Name>& names);
// Clears every stored entry of the names this process knows.
void resetAll();

// While true (a recorder is recording) presses run no callbacks.
bool dispatchSuspended();
void setDispatchSuspended(bool suspended);
bool isMenuTracking();

// Called by the hot-key layer for a press or release of a registered shortcut.
void dispatchKeyEvent(EventType type, const Shortcut& shortcut);
// Called for a press of a shortcut the desktop binds itself: the name's callbacks run as for
// a press and release of its key.
void dispatchDesktopTrigger(const Name& name);

namespace detail {
bool hasStoredObject(const Name& name);
void installMenuObservers();
void menuTrackingBegan();
void menuTrackingEnded();
void remember(const Name& name);
const Name& declared(const QString& rawValue, const Shortcut& defaultShortcut);
bool isHotKeyShortcut(const Shortcut& shortcut);
void addStreamCallbacks(const Name& name, const QUuid& id, Action onKeyDown, Action onKeyUp);
void removeStreamCallbacks(const Name& name, const QUuid& id);
// Forgets every name, callback and registration (tests).
void resetForTesting();
} // namespace detail

} // namespace GlobalShortcuts
