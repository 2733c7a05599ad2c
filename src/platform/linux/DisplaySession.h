#pragma once

#include <QString>

namespace quorvale::platform {

// Which set of backends serves this process. Decided once, from the Qt platform plugin in use
// and the session around it.
enum class DisplayServer {
    x11,
    wayland,
    // An X11 client of a Wayland desktop: X11 sees only the other X11 clients.
    xwaylandOnWayland,
    // No display (offscreen, minimal): the X11 backends, which report what they cannot do.
    none,
};

enum class DesktopFamily { gnome, kde, wlroots, other };

struct SessionEnvironment {
    QString qtPlatform;     // QGuiApplication::platformName()
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString sessionType;    // XDG_SESSION_TYPE
    QString currentDesktop; // XDG_CURRENT_DESKTOP, colon-separated

    static SessionEnvironment current();
};

DisplayServer chooseDisplayServer(const SessionEnvironment& environment);
DesktopFamily desktopFamily(const SessionEnvironment& environment);

} // namespace quorvale::platform
