#pragma once

#include <QString>

namespace quorvale::platform {

// The desktop's own notification bubbles: where a window of ours cannot place itself, the
// desktop shows short messages where the user looks.
class DesktopNotifications {
public:
    virtual ~DesktopNotifications() = default;
    // Asked each time: a notification service may start or stop while the app runs.
    virtual bool isAvailable() const = 0;
    // icon: the app's symbol name for the message; gone after `seconds`.
    virtual void show(const QString& message, const QString& icon, double seconds) = 0;
};

} // namespace quorvale::platform
