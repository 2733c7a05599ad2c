#pragma once

#include "platform/ScreenCapture.h"
#include "platform/linux/X11WindowList.h"

#include <QRect>
#include <QString>
#include <memory>
#include <xcb/xcb.h>

namespace quorvale::platform {

// Screens from RandR monitors, pixels from GetImage on the root, a covered window's own
// pixels through XComposite, the window stack from the window manager (or the root's
// children without one). Pixel geometry is converted to points with Qt's scale per screen.
class X11ScreenCapture : public ScreenCapture {
public:
    X11ScreenCapture();
    ~X11ScreenCapture() override;

    std::vector<ScreenInfo> screens() const override;
    QPointF mouseLocation() const override;
    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ContentCompletion completion) override;
    void getShareableDisplays(ContentCompletion completion) override;
    void captureImage(const ContentFilter& filter, const StreamConfiguration& configuration,
                      ImageCompletion completion) override;
    std::optional<std::vector<WindowListEntry>> onScreenWindowList() const override;
    std::shared_ptr<const FrozenScreens> freezeDisplays(bool forWindowPicking) override;

private:
    struct Monitor {
        xcb_atom_t name = 0;
        QRect native;      // root pixels
        QRect qtGeometry;  // Qt's global geometry: native origin, size in points
        qreal ratio = 1.0; // pixels per point
        bool primary = false;
    };
    struct Layout {
        std::vector<Monitor> monitors; // primary first
        QPoint primaryOrigin;          // Qt global
    };

    Layout layout() const;
    Layout liveLayout() const;
    QRectF toCG(const Layout& layout, const QRect& native) const;
    CaptureDisplay displayFor(const Layout& layout, const Monitor& monitor) const;
    std::vector<CaptureDisplay> displaysOf(const Layout& layout) const;
    std::optional<QImage> grab(xcb_drawable_t drawable, const QRect& area) const;
    std::optional<QImage> captureDisplay(const ContentFilter& filter,
                                         const StreamConfiguration& configuration) const;
    std::optional<QImage> captureWindow(const ContentFilter& filter,
                                        const StreamConfiguration& configuration) const;
    std::optional<QImage> windowPixels(xcb_window_t window, const QRect& nativeFrame) const;
    std::shared_ptr<void> redirectWindows();
    QString ownApplicationId() const;

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::unique_ptr<X11WindowList> m_windowList;
    std::weak_ptr<const FrozenScreens> m_frozen;
    Layout m_frozenLayout; // the screens as frozen, answered without asking the server
    std::weak_ptr<void> m_redirect;
};

} // namespace quorvale::platform
