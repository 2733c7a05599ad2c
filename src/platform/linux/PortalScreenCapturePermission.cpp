#include "platform/linux/PortalScreenCapturePermission.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

namespace quorvale::platform {

std::optional<ScreenCapturePermission::DeniedTexts>
PortalScreenCapturePermission::deniedTexts() const {
    DeniedTexts texts;
    texts.messageText = QCoreApplication::translate("PortalScreenCapturePermission",
                                                    "Screen Recording Permission Required");
    switch (m_desktop) {
    case DesktopFamily::gnome:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Allow applications to take "
            "screenshots in Settings \u2192 Privacy (or answer \u201cAllow\u201d when the "
            "desktop asks), then capture again.");
        texts.offersSettings = true;
        break;
    case DesktopFamily::kde:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Answer \u201cAllow\u201d "
            "when Plasma asks, and check that xdg-desktop-portal-kde is installed, then capture "
            "again.");
        break;
    case DesktopFamily::wlroots:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Screenshots come from "
            "xdg-desktop-portal and xdg-desktop-portal-wlr: check that both are installed and "
            "running in this session (your compositor's configuration starts them), then "
            "capture again.");
        break;
    case DesktopFamily::other:
        texts.informativeText = QCoreApplication::translate(
            "PortalScreenCapturePermission",
            "The desktop did not let Quorvale take a screenshot. Screenshots come from "
            "xdg-desktop-portal and a backend for this desktop: check that they are installed "
            "and allow screenshots when the desktop asks, then capture again.");
        break;
    }
    return texts;
}

bool PortalScreenCapturePermission::openSettings() {
    if (m_desktop != DesktopFamily::gnome) {
        return false;
    }
    const QString settings = QStandardPaths::findExecutable(QStringLiteral("gnome-control-center"));
    return !settings.isEmpty() && QProcess::startDetached(settings, {QStringLiteral("privacy")});
}

} // namespace quorvale::platform
