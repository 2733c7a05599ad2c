#pragma once

#include <QString>
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

    // What to tell someone whose desktop refused a capture, where it differs from the
    // general text.
    struct DeniedTexts {
        QString messageText;
        QString informativeText;
        bool offersSettings = false; // there is a settings page to open
    };
    virtual std::optional<DeniedTexts> deniedTexts() const { return std::nullopt; }
    // Opens the desktop's settings page itself, where no URL leads there; false otherwise.
    virtual bool openSettings() { return false; }
};

} // namespace quorvale::platform
