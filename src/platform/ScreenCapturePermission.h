#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace quorvale::platform {

class ScreenCapturePermission {
public:
    virtual ~ScreenCapturePermission() = default;
    // May prompt the user; answers whether capture is allowed now.
    virtual bool requestAccess() = 0;
    // Never prompts, never waits: what was last known.
    virtual bool preflightAccess() = 0;
    // Learns again what preflightAccess answers, without waiting; `answered` runs on the GUI
    // thread once it is known.
    virtual void refreshAccess(std::function<void()> answered) { answered(); }
    // Where the user grants the permission; nothing where the desktop has no such page.
    virtual std::optional<QUrl> settingsUrl() const = 0;

    // What to tell someone whose desktop refused a capture, where it differs from the
    // general text.
    struct DeniedTexts {
        QString messageText;
        QString informativeText;
        // The alert's button that runs forgetRefusal; empty where there is nothing to do.
        QString forgetButton;
    };
    virtual std::optional<DeniedTexts> deniedTexts() const { return std::nullopt; }
    // Makes the desktop forget a refusal it keeps, so that it asks again; `done` runs on the
    // GUI thread with nothing once forgotten, or with what to tell the user. False where
    // there is nothing to forget.
    using ForgetDone = std::function<void(std::optional<QString> failure)>;
    virtual bool forgetRefusal(ForgetDone) { return false; }
};

} // namespace quorvale::platform
