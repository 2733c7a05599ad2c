#pragma once

#include "platform/ScreenCapturePermission.h"
#include "platform/linux/DisplaySession.h"

namespace quorvale::platform {

// The desktop asks (or refuses) when a screenshot is requested, so there is nothing to ask
// beforehand; what a refusal means and where to change it depends on the desktop.
class PortalScreenCapturePermission : public ScreenCapturePermission {
public:
    explicit PortalScreenCapturePermission(DesktopFamily desktop)
        : m_desktop(desktop) {}

    bool requestAccess() override { return true; }
    bool preflightAccess() override { return true; }
    std::optional<QUrl> settingsUrl() const override { return std::nullopt; }
    std::optional<DeniedTexts> deniedTexts() const override;
    bool openSettings() override;

private:
    DesktopFamily m_desktop;
};

} // namespace quorvale::platform
