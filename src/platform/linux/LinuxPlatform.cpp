#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/CanberraSoundPlayer.h"
#include "platform/linux/DesktopUrlOpener.h"
#include "platform/linux/JournalSystemLog.h"
#include "platform/linux/JsonDefaultsStore.h"
#include "platform/linux/LinuxStatusBar.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtModalAlerts.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/StderrSystemLog.h"
#include "platform/linux/TesseractTextRecognizer.h"
#include "platform/linux/X11ActivationPolicy.h"
#include "platform/linux/X11Clipboard.h"
#include "platform/linux/X11Compositor.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11GlobalHotKeys.h"
#include "platform/linux/X11ScreenCapture.h"
#include "platform/linux/X11ScreenCapturePermission.h"
#include "platform/linux/XdgAutostartLoginItem.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <unistd.h>

namespace quorvale::platform {
namespace {

// The journal when there is one, as Qt's own output does; QT_FORCE_STDERR_LOGGING keeps
// everything on standard error. Someone who started the app from a terminal sees it there too.
std::shared_ptr<SystemLog> makeSystemLog() {
    auto onStderr = std::make_shared<StderrSystemLog>();
    if (qEnvironmentVariableIntValue("QT_FORCE_STDERR_LOGGING") != 0 ||
        !JournalSystemLog::isAvailable()) {
        return onStderr;
    }
    return std::make_shared<JournalSystemLog>(onStderr, ::isatty(STDERR_FILENO) == 1);
}

} // namespace

Platform makeLinuxPlatform(const LinuxPlatformOptions& options) {
    Platform platform;
    platform.mainQueue = std::make_shared<QtMainQueue>();
    // Qt's X11 clipboard would wait on the GUI thread for an owner that may never answer.
    platform.clipboard = qtX11Connection()
                             ? std::shared_ptr<Clipboard>(std::make_shared<X11Clipboard>())
                             : std::make_shared<QtClipboard>();
    platform.sounds = std::make_shared<CanberraSoundPlayer>();
    platform.screenCapturePermission = std::make_shared<X11ScreenCapturePermission>();
    platform.alerts = std::make_shared<QtModalAlerts>();
    platform.urlOpener = std::make_shared<DesktopUrlOpener>();
    platform.screens = std::make_shared<QtScreens>();
    platform.defaults =
        std::make_shared<JsonDefaultsStore>(JsonDefaultsStore::defaultPath(), options.notify);
    platform.loginItem = std::make_shared<XdgAutostartLoginItem>();
    platform.activationPolicy = std::make_shared<X11ActivationPolicy>();
    platform.textRecognizer =
        std::make_shared<TesseractTextRecognizer>(options.notify, options.twoEnginesPerPage);
    platform.screenCapture = std::make_shared<X11ScreenCapture>();
    platform.hotKeys = std::make_shared<X11GlobalHotKeys>();
    platform.keyboardLayout = std::make_shared<XkbKeyboardLayout>();
    platform.compositor = std::make_shared<X11Compositor>();
    platform.systemLog = makeSystemLog();
    platform.statusBar = std::make_shared<LinuxStatusBar>();
    return platform;
}

} // namespace quorvale::platform
