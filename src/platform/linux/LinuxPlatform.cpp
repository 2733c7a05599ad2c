#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/CanberraSoundPlayer.h"
#include "platform/linux/DesktopUrlOpener.h"
#include "platform/linux/DisplaySession.h"
#include "platform/linux/FocusedClipboard.h"
#include "platform/linux/FreedesktopNotifications.h"
#include "platform/linux/JournalSystemLog.h"
#include "platform/linux/JsonDefaultsStore.h"
#include "platform/linux/LinuxStatusBar.h"
#include "platform/linux/PortalGlobalShortcuts.h"
#include "platform/linux/PortalScreenCapture.h"
#include "platform/linux/PortalScreenCapturePermission.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtModalAlerts.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/StderrSystemLog.h"
#include "platform/linux/TesseractTextRecognizer.h"
#include "platform/linux/UnavailableGlobalHotKeys.h"
#include "platform/linux/WaylandKeyboardLayout.h"
#include "platform/linux/X11ActivationPolicy.h"
#include "platform/linux/X11Clipboard.h"
#include "platform/linux/X11Compositor.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11GlobalHotKeys.h"
#include "platform/linux/X11ScreenCapture.h"
#include "platform/linux/X11ScreenCapturePermission.h"
#include "platform/linux/XdgAutostartLoginItem.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <QCoreApplication>
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

// Every Wayland desktop composites.
class WaylandCompositor : public Compositor {
public:
    bool isRunning() const override { return true; }
};

QString unavailableShortcutsReason(DisplayServer server) {
    return server == DisplayServer::xwaylandOnWayland
               ? QCoreApplication::translate(
                     "LinuxPlatform", "Quorvale runs through XWayland, where a key combination "
                                      "reaches it only while one of its own windows has focus")
               : QCoreApplication::translate("LinuxPlatform",
                                             "this Wayland desktop lets no program take a key "
                                             "combination for itself");
}

} // namespace

Platform makeLinuxPlatform(const LinuxPlatformOptions& options) {
    const SessionEnvironment session = SessionEnvironment::current();
    const DisplayServer server = chooseDisplayServer(session);
    const DesktopFamily desktop = desktopFamily(session);
    // Only an X11 session lets a client read the screen and grab keys; elsewhere in a
    // Wayland session the desktop's portal hands out the pixels.
    const bool waylandSession =
        server == DisplayServer::wayland || server == DisplayServer::xwaylandOnWayland;
    const bool desktopPicksWindows =
        desktop == DesktopFamily::gnome || desktop == DesktopFamily::kde;

    Platform platform;
    platform.mainQueue = std::make_shared<QtMainQueue>();
    if (server == DisplayServer::wayland) {
        platform.clipboard = std::make_shared<FocusedClipboard>();
    } else if (qtX11Connection()) {
        // Qt's X11 clipboard would wait on the GUI thread for an owner that may never answer.
        platform.clipboard = std::make_shared<X11Clipboard>();
    } else {
        platform.clipboard = std::make_shared<QtClipboard>();
    }
    platform.sounds = std::make_shared<CanberraSoundPlayer>();
    if (waylandSession) {
        platform.screenCapturePermission = std::make_shared<PortalScreenCapturePermission>(desktop);
    } else {
        platform.screenCapturePermission = std::make_shared<X11ScreenCapturePermission>();
    }
    platform.alerts = std::make_shared<QtModalAlerts>();
    platform.urlOpener = std::make_shared<DesktopUrlOpener>();
    platform.screens = std::make_shared<QtScreens>(server != DisplayServer::wayland);
    platform.defaults =
        std::make_shared<JsonDefaultsStore>(JsonDefaultsStore::defaultPath(), options.notify);
    platform.loginItem = std::make_shared<XdgAutostartLoginItem>();
    platform.activationPolicy = std::make_shared<X11ActivationPolicy>();
    platform.textRecognizer =
        std::make_shared<TesseractTextRecognizer>(options.notify, options.twoEnginesPerPage);
    if (waylandSession) {
        platform.screenCapture = std::make_shared<PortalScreenCapture>(desktopPicksWindows);
        // No grabs here: the desktop's shortcuts portal binds shortcuts where it can, and
        // while it has not, or when it binds none, no key combination is ours.
        platform.desktopShortcuts = std::make_shared<PortalGlobalShortcuts>();
        platform.hotKeys =
            std::make_shared<UnavailableGlobalHotKeys>(unavailableShortcutsReason(server));
    } else {
        platform.screenCapture = std::make_shared<X11ScreenCapture>();
        platform.hotKeys = std::make_shared<X11GlobalHotKeys>();
    }
    if (server == DisplayServer::wayland) {
        platform.keyboardLayout = std::make_shared<WaylandKeyboardLayout>();
    } else {
        platform.keyboardLayout = std::make_shared<XkbKeyboardLayout>();
    }
    if (server == DisplayServer::wayland) {
        platform.compositor = std::make_shared<WaylandCompositor>();
    } else {
        platform.compositor = std::make_shared<X11Compositor>();
    }
    platform.systemLog = makeSystemLog();
    platform.statusBar = std::make_shared<LinuxStatusBar>();
    if (server == DisplayServer::wayland) {
        platform.notifications = std::make_shared<FreedesktopNotifications>();
    }
    if (server == DisplayServer::xwaylandOnWayland && options.notify) {
        options.notify(QCoreApplication::translate(
            "LinuxPlatform",
            "Quorvale runs through XWayland in a Wayland session. It takes screenshots through "
            "the desktop's portal, but it cannot list or pick other programs' windows, and its "
            "global shortcuts work only while one of its own windows has focus. Start it as a "
            "Wayland program instead: QT_QPA_PLATFORM=wayland quorvale"));
    }
    return platform;
}

} // namespace quorvale::platform
