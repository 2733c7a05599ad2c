#include "platform/linux/DisplaySession.h"
#include "platform/linux/PerScreenCut.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace quorvale::platform;

namespace {

TEST(DisplaySession, TheQtPlatformAndTheSessionChooseTheBackends) {
    struct Case {
        SessionEnvironment environment;
        DisplayServer expected;
    };
    const Case cases[] = {
        {{"xcb", "", "x11", "XFCE"}, DisplayServer::x11},
        {{"xcb", "", "", ""}, DisplayServer::x11},
        {{"wayland", "wayland-1", "wayland", "sway"}, DisplayServer::wayland},
        {{"wayland-egl", "wayland-0", "wayland", "GNOME"}, DisplayServer::wayland},
        // Forced onto X11 inside a Wayland desktop: X11 sees only other X11 clients.
        {{"xcb", "wayland-0", "wayland", "GNOME"}, DisplayServer::xwaylandOnWayland},
        {{"xcb", "", "wayland", "KDE"}, DisplayServer::xwaylandOnWayland},
        {{"xcb", "wayland-1", "tty", "sway"}, DisplayServer::xwaylandOnWayland},
        {{"offscreen", "wayland-1", "wayland", "sway"}, DisplayServer::none},
        {{"minimal", "", "", ""}, DisplayServer::none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseDisplayServer(c.environment), c.expected)
            << c.environment.qtPlatform.toStdString() << " "
            << c.environment.waylandDisplay.toStdString();
    }
}

TEST(DisplaySession, TheDesktopFamilyComesFromAnyNameInTheList) {
    const std::pair<QString, DesktopFamily> cases[] = {
        {"GNOME", DesktopFamily::gnome},
        {"ubuntu:GNOME", DesktopFamily::gnome},
        {"GNOME-Classic:GNOME", DesktopFamily::gnome},
        {"KDE", DesktopFamily::kde},
        {"sway", DesktopFamily::wlroots},
        {"Hyprland", DesktopFamily::wlroots},
        {"XFCE", DesktopFamily::other},
        {"", DesktopFamily::other},
    };
    for (const auto& [desktop, family] : cases) {
        SessionEnvironment environment;
        environment.currentDesktop = desktop;
        EXPECT_EQ(desktopFamily(environment), family) << desktop.toStdString();
    }
}

// A picture of two screens side by side, each filled with its own colour.
QImage desktopPicture(const std::vector<ScreenArea>& screens, QRect bounds, double scale,
                      const std::vector<QColor>& colours) {
    QImage whole(int(bounds.width() * scale), int(bounds.height() * scale), QImage::Format_RGB32);
    whole.fill(Qt::black);
    QPainter painter(&whole);
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const QRect g = screens[i].geometry.translated(-bounds.topLeft());
        painter.fillRect(
            QRectF(g.x() * scale, g.y() * scale, g.width() * scale, g.height() * scale),
            colours[i]);
    }
    return whole;
}

TEST(PerScreenCut, EachScreenGetsItsOwnPixelsAtItsOwnScale) {
    struct Case {
        const char* name;
        std::vector<ScreenArea> screens;
        QRect bounds;
        double pictureScale;
        std::vector<QSize> expectedSizes;
    };
    const std::vector<QColor> colours = {Qt::red, Qt::green};
    const Case cases[] = {
        {"one scale",
         {{QRect(0, 0, 1920, 1080), 1.0}, {QRect(1920, 0, 1280, 1024), 1.0}},
         QRect(0, 0, 3200, 1080),
         1.0,
         {QSize(1920, 1080), QSize(1280, 1024)}},
        // The desktop draws at the highest scale; the 1x screen is brought down to its pixels.
        {"mixed, picture at 2x",
         {{QRect(0, 0, 1920, 1080), 1.0}, {QRect(1920, 0, 1280, 1024), 2.0}},
         QRect(0, 0, 3200, 1080),
         2.0,
         {QSize(1920, 1080), QSize(2560, 2048)}},
        // A picture at 1x of a 2x screen is brought up to that screen's pixels.
        {"mixed, picture at 1x, screen left of the primary",
         {{QRect(0, 0, 1280, 800), 2.0}, {QRect(-1024, 100, 1024, 768), 1.0}},
         QRect(-1024, 0, 2304, 868),
         1.0,
         {QSize(2560, 1600), QSize(1024, 768)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage whole = desktopPicture(c.screens, c.bounds, c.pictureScale, colours);
        const std::vector<QImage> cut = cutPerScreen(whole, c.screens);
        ASSERT_EQ(cut.size(), c.screens.size());
        for (std::size_t i = 0; i < cut.size(); ++i) {
            ASSERT_EQ(cut[i].size(), c.expectedSizes[i]) << i;
            // Corners and centre belong to the screen, never to its neighbour or the void.
            for (const QPoint p : {QPoint(1, 1), QPoint(cut[i].width() - 2, cut[i].height() - 2),
                                   QPoint(cut[i].width() / 2, cut[i].height() / 2)}) {
                EXPECT_EQ(cut[i].pixelColor(p), colours[i]) << i << " at " << p.x() << "," << p.y();
            }
        }
    }
}

TEST(PerScreenCut, APictureThatDoesNotMatchTheScreensGivesNothing) {
    const std::vector<ScreenArea> screens = {{QRect(0, 0, 1920, 1080), 1.0},
                                             {QRect(1920, 0, 1280, 1024), 1.0}};
    QImage squashed(1920, 1080, QImage::Format_RGB32); // only the first screen, as before a hotplug
    squashed.fill(Qt::white);
    for (const QImage& image : cutPerScreen(squashed, screens)) {
        EXPECT_TRUE(image.isNull());
    }
    for (const QImage& image : cutPerScreen(QImage(), screens)) {
        EXPECT_TRUE(image.isNull());
    }
}

} // namespace
