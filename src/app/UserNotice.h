#pragma once

#include <QString>

namespace quorvale {

// A message the user should read at leisure: a non-blocking dialog, also written to stderr.
// Callable from any thread.
void showUserNotice(const QString& text);
// Tells the user that no global shortcut works in this session and which commands to bind.
void showShortcutsUnavailableNotice();

} // namespace quorvale
