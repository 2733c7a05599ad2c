#pragma once

#include "platform/ActivationPolicyService.h"
#include "platform/Clipboard.h"
#include "platform/Compositor.h"
#include "platform/DefaultsStore.h"
#include "platform/DesktopNotifications.h"
#include "platform/DesktopShortcuts.h"
#include "platform/GlobalHotKeys.h"
#include "platform/KeyboardLayout.h"
#include "platform/LoginItemService.h"
#include "platform/MainQueue.h"
#include "platform/ModalAlerts.h"
#include "platform/ScreenCapture.h"
#include "platform/ScreenCapturePermission.h"
#include "platform/Screens.h"
#include "platform/SoundPlayer.h"
#include "platform/StatusBar.h"
#include "platform/SystemLog.h"
#include "platform/TextRecognizer.h"
#include "platform/UrlOpener.h"

#include <memory>

namespace quorvale::platform {

// Every platform facility the application uses, chosen once at start-up: the Linux
// backends in the program, fakes in unit tests.
struct Platform {
    std::shared_ptr<MainQueue> mainQueue;
    std::shared_ptr<Clipboard> clipboard;
    std::shared_ptr<SoundPlayer> sounds;
    std::shared_ptr<ScreenCapturePermission> screenCapturePermission;
    std::shared_ptr<ModalAlerts> alerts;
    std::shared_ptr<UrlOpener> urlOpener;
    std::shared_ptr<Screens> screens;
    std::shared_ptr<DefaultsStore> defaults;
    std::shared_ptr<LoginItemService> loginItem;
    std::shared_ptr<ActivationPolicyService> activationPolicy;
    std::shared_ptr<TextRecognizer> textRecognizer;
    std::shared_ptr<ScreenCapture> screenCapture;
    std::shared_ptr<GlobalHotKeys> hotKeys;
    std::shared_ptr<KeyboardLayout> keyboardLayout;
    std::shared_ptr<Compositor> compositor;
    std::shared_ptr<SystemLog> systemLog;
    std::shared_ptr<StatusBar> statusBar;
    // Only where our own windows cannot place themselves (Wayland); may be null.
    std::shared_ptr<DesktopNotifications> notifications;
    // Only where the desktop binds shortcuts itself (Wayland); may be null.
    std::shared_ptr<DesktopShortcuts> desktopShortcuts;
};

// The installed platform. Installing replaces every facility at once.
const Platform& current();
void install(Platform platform);

} // namespace quorvale::platform
