#include "platform/linux/DisplaySession.h"

#include <QGuiApplication>

namespace quorvale::platform {

SessionEnvironment SessionEnvironment::current() {
    return {QGuiApplication::platformName(), qEnvironmentVariable("WAYLAND_DISPLAY"),
            qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("XDG_CURRENT_DESKTOP")};
}

DisplayServer chooseDisplayServer(const SessionEnvironment& environment) {
    // "wayland-egl", "wayland-brcm", ... are Wayland too.
    if (environment.qtPlatform.startsWith(u"wayland")) {
        return DisplayServer::wayland;
    }
    if (environment.qtPlatform != u"xcb") {
        return DisplayServer::none;
    }
    if (!environment.waylandDisplay.isEmpty() ||
        environment.sessionType.compare(u"wayland", Qt::CaseInsensitive) == 0) {
        return DisplayServer::xwaylandOnWayland;
    }
    return DisplayServer::x11;
}

DesktopFamily desktopFamily(const SessionEnvironment& environment) {
    static const QStringList wlroots = {QStringLiteral("sway"),    QStringLiteral("wlroots"),
                                        QStringLiteral("river"),   QStringLiteral("Hyprland"),
                                        QStringLiteral("Wayfire"), QStringLiteral("labwc"),
                                        QStringLiteral("dwl")};
    for (const QString& name : environment.currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        if (name.compare(u"GNOME", Qt::CaseInsensitive) == 0 ||
            name.startsWith(u"GNOME-", Qt::CaseInsensitive)) {
            return DesktopFamily::gnome;
        }
        if (name.compare(u"KDE", Qt::CaseInsensitive) == 0) {
            return DesktopFamily::kde;
        }
        if (wlroots.contains(name, Qt::CaseInsensitive)) {
            return DesktopFamily::wlroots;
        }
    }
    return DesktopFamily::other;
}

} // namespace quorvale::platform
