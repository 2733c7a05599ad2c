#pragma once

#include "platform/DesktopNotifications.h"

#include <QtGlobal>
#include <memory>

namespace quorvale::platform {

// org.freedesktop.Notifications on the session bus; each message replaces the one before.
class FreedesktopNotifications : public DesktopNotifications {
public:
    bool isAvailable() const override;
    void show(const QString& message, const QString& icon, double seconds) override;

private:
    // Shared with replies that may arrive after this object is gone.
    std::shared_ptr<quint32> m_lastId = std::make_shared<quint32>(0);
};

} // namespace quorvale::platform
