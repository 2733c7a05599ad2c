#pragma once

#include "platform/ScreenCapturePermission.h"

namespace quorvale::platform {

// X11 lets every client read the screen: there is no permission to ask for and no
// settings page for it.
class X11ScreenCapturePermission : public ScreenCapturePermission {
public:
    bool requestAccess() override { return true; }
    bool preflightAccess() override { return true; }
    std::optional<QUrl> settingsUrl() const override { return std::nullopt; }
};

} // namespace quorvale::platform
