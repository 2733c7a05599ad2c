#pragma once

#include <QUrl>
#include <optional>

namespace quorvale::platform {

class ScreenCapturePermission {
public:
    virtual ~ScreenCapturePermission() = default;
    // May prompt the user; answers whether capture is allowed now.
    virtual bool requestAccess() = 0;
    // Never prompts.
    virtual bool preflightAccess() = 0;
    // Where the user grants the permission; nothing where the desktop has no such page.
    virtual std::optional<QUrl> settingsUrl() const = 0;
};

} // namespace quorvale::platform
