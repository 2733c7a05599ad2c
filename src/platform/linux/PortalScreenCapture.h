#pragma once

#include "platform/ScreenCapture.h"

#include <QRect>
#include <memory>

namespace quorvale::platform {

// Screens from Qt, pixels from the desktop portal's Screenshot interface: one picture of every
// screen, cut per screen. Other programs' windows can be neither listed nor read; a window
// comes from the desktop's own picker where it has one.
class PortalScreenCapture : public ScreenCapture {
public:
    explicit PortalScreenCapture(bool desktopPicksWindows);

    std::vector<ScreenInfo> screens() const override;
    QPointF mouseLocation() const override;
    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ContentCompletion completion) override;
    void getShareableDisplays(ContentCompletion completion) override;
    void captureImage(const ContentFilter& filter, const StreamConfiguration& configuration,
                      ImageCompletion completion) override;
    std::optional<std::vector<WindowListEntry>> onScreenWindowList() const override;
    std::shared_ptr<const FrozenScreens> freezeDisplays(bool forWindowPicking) override;
    void freezeDisplaysThen(bool forWindowPicking, FreezeCompletion completion) override;
    WindowPicking windowPicking() const override;
    void pickWindowImage(ImageCompletion completion) override;

private:
    struct Screen {
        quint32 id = 0;
        QRect geometry; // Qt's global geometry
        qreal ratio = 1.0;
    };
    struct Layout {
        std::vector<Screen> screens; // primary first
    };

    Layout layout() const;
    static CaptureDisplay displayFor(const Layout& layout, const Screen& screen);
    std::vector<CaptureDisplay> displaysOf(const Layout& layout) const;

    bool m_desktopPicksWindows = false;
    std::weak_ptr<const FrozenScreens> m_frozen;
    Layout m_frozenLayout;
    // Answers of the desktop that outlive this backend find it gone.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace quorvale::platform
