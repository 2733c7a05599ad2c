#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeActivationPolicyService.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeCompositor.h"
#include "platform/fake/FakeDefaultsStore.h"
#include "platform/fake/FakeGlobalHotKeys.h"
#include "platform/fake/FakeKeyboardLayout.h"
#include "platform/fake/FakeLoginItemService.h"
#include "platform/fake/FakeMainQueue.h"
#include "platform/fake/FakeModalAlerts.h"
#include "platform/fake/FakeScreenCapture.h"
#include "platform/fake/FakeScreenCapturePermission.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeSoundPlayer.h"
#include "platform/fake/FakeSystemLog.h"
#include "platform/fake/FakeStatusBar.h"
#include "platform/fake/FakeTextRecognizer.h"
#include "platform/fake/FakeUrlOpener.h"

namespace quorvale::platform {

// A full set of recording fakes, installed as the current platform on construction.
struct FakePlatform {
    FakePlatform();
    ~FakePlatform();

    std::shared_ptr<FakeMainQueue> mainQueue = std::make_shared<FakeMainQueue>();
    std::shared_ptr<FakeClipboard> clipboard = std::make_shared<FakeClipboard>();
    std::shared_ptr<FakeSoundPlayer> sounds = std::make_shared<FakeSoundPlayer>();
    std::shared_ptr<FakeScreenCapturePermission> screenCapturePermission =
        std::make_shared<FakeScreenCapturePermission>();
    std::shared_ptr<FakeModalAlerts> alerts = std::make_shared<FakeModalAlerts>();
    std::shared_ptr<FakeUrlOpener> urlOpener = std::make_shared<FakeUrlOpener>();
    std::shared_ptr<FakeScreens> screens = std::make_shared<FakeScreens>();
    std::shared_ptr<FakeDefaultsStore> defaults = std::make_shared<FakeDefaultsStore>();
    std::shared_ptr<FakeLoginItemService> loginItem = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<FakeActivationPolicyService> activationPolicy =
        std::make_shared<FakeActivationPolicyService>();
    std::shared_ptr<FakeTextRecognizer> textRecognizer = std::make_shared<FakeTextRecognizer>();
    std::shared_ptr<FakeScreenCapture> screenCapture = std::make_shared<FakeScreenCapture>();
    std::shared_ptr<FakeGlobalHotKeys> hotKeys = std::make_shared<FakeGlobalHotKeys>();
    std::shared_ptr<FakeKeyboardLayout> keyboardLayout = std::make_shared<FakeKeyboardLayout>();
    std::shared_ptr<FakeCompositor> compositor = std::make_shared<FakeCompositor>();
    std::shared_ptr<FakeSystemLog> systemLog = std::make_shared<FakeSystemLog>();
    std::shared_ptr<FakeStatusBar> statusBar = std::make_shared<FakeStatusBar>();
};

} // namespace quorvale::platform
