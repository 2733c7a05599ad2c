#pragma once

#include "platform/ScreenCapturePermission.h"
#include "platform/linux/DisplaySession.h"

#include <QDBusConnection>
#include <QObject>
#include <memory>

namespace quorvale::platform {

// The desktop asks (or refuses) when a screenshot is requested, so there is nothing to ask
// beforehand; what a refusal means and where to change it depends on the desktop. The portal
// keeps the user's answer in its permission store and, once it holds "no", refuses every
// screenshot without asking.
class PortalScreenCapturePermission : public ScreenCapturePermission {
public:
    explicit PortalScreenCapturePermission(DesktopFamily desktop,
                                           QDBusConnection bus = QDBusConnection::sessionBus());
    ~PortalScreenCapturePermission() override;

    bool requestAccess() override { return true; }
    bool preflightAccess() override { return !m_storedRefusal; }
    void refreshAccess(std::function<void()> answered) override;
    std::optional<QUrl> settingsUrl() const override { return std::nullopt; }
    std::optional<DeniedTexts> deniedTexts() const override;
    bool forgetRefusal(ForgetDone done) override;

private:
    DesktopFamily m_desktop;
    QDBusConnection m_bus;
    bool m_storedRefusal = false;
    // Parent of the calls under way: answers that come after this object are dropped.
    std::unique_ptr<QObject> m_calls = std::make_unique<QObject>();
};

} // namespace quorvale::platform
