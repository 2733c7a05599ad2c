#include "platform/fake/FakePlatform.h"

namespace quorvale::platform {

FakePlatform::FakePlatform() {
    Platform platform;
    platform.mainQueue = mainQueue;
    platform.clipboard = clipboard;
    platform.sounds = sounds;
    platform.screenCapturePermission = screenCapturePermission;
    platform.alerts = alerts;
    platform.urlOpener = urlOpener;
    platform.screens = screens;
    platform.defaults = defaults;
    platform.loginItem = loginItem;
    platform.activationPolicy = activationPolicy;
    platform.textRecognizer = textRecognizer;
    platform.screenCapture = screenCapture;
    platform.hotKeys = hotKeys;
    platform.keyboardLayout = keyboardLayout;
    platform.compositor = compositor;
    platform.systemLog = systemLog;
    platform.statusBar = statusBar;
    install(std::move(platform));
}

FakePlatform::~FakePlatform() {
    install(Platform{});
}

} // namespace quorvale::platform
