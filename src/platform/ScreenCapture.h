#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quorvale::platform {

// Coordinates: "CG" is global, origin at the primary screen's top-left corner, y down;
// "AppKit" is global, origin at the primary screen's bottom-left corner, y up. Both in
// points (Qt device-independent pixels).

// One entry of the screen list, primary first.
struct ScreenInfo {
    quint32 displayID = 0;
    QRectF frame;   // AppKit
    QRect geometry; // Qt's global geometry, where a window covering the screen goes
    qreal devicePixelRatio = 1.0;
};

struct CaptureDisplay {
    quint32 displayID = 0;
    QRectF frame;            // CG
    std::int64_t width = 0;  // pixels
    std::int64_t height = 0; // pixels
};

struct WindowOwner {
    QString bundleIdentifier; // empty when unknown
    // Panels and desktop backgrounds: part of the desktop, never a pick.
    bool isSystem = false;
};

struct CaptureWindow {
    quint32 windowID = 0;
    QRectF frame; // CG
    std::optional<WindowOwner> owningApplication;
    QString title;
    bool isOnScreen = true;
};

struct ShareableContent {
    std::vector<CaptureDisplay> displays;
    std::vector<CaptureWindow> windows;
};

// An error the capture backend reports.
struct CaptureFailure {
    QString domain;
    int code = 0;
    QString localizedDescription;
    // The user or the desktop refused to hand out the screen's pixels.
    bool declined = false;
    // The user dismissed the desktop's own picker: a cancelled capture, not a failure.
    bool cancelledByUser = false;
};

// One entry of the on-screen window list, front-most first. Absent values are as the
// window server would leave them out.
struct WindowListEntry {
    std::optional<QRectF> bounds; // CG
    std::optional<double> alpha;
    std::optional<std::int64_t> number;
    std::optional<std::int64_t> layer;
};

struct ContentFilter {
    enum class Kind { display, desktopIndependentWindow };
    Kind kind = Kind::display;
    CaptureDisplay display;
    CaptureWindow window;
};

struct StreamConfiguration {
    std::optional<QRectF> sourceRect; // display-local points
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool showsCursor = true;
    bool ignoreShadowsSingleWindow = false;
    bool ignoreShadowsDisplay = false;
};

// Every display's pixels as they were at one moment, kept while anyone holds them.
struct FrozenDisplay {
    CaptureDisplay display;
    QImage image; // the display's full pixels, never the pointer
};

struct FrozenScreens {
    std::vector<FrozenDisplay> displays;
    // Extra state the backend ties to the freeze (e.g. windows redirected off screen).
    std::shared_ptr<void> backendState;

    const FrozenDisplay* find(const CaptureDisplay& display) const {
        for (const FrozenDisplay& frozen : displays) {
            if (frozen.display.displayID == display.displayID &&
                frozen.display.frame == display.frame && frozen.display.width == display.width) {
                return &frozen;
            }
        }
        return nullptr;
    }
};

// Screens, windows and their pixels. GUI thread; callbacks may run before the call returns
// or later on another thread.
class ScreenCapture {
public:
    using ContentCompletion =
        std::function<void(std::optional<ShareableContent>, std::optional<CaptureFailure>)>;
    using ImageCompletion =
        std::function<void(std::optional<QImage>, std::optional<CaptureFailure>)>;
    using FreezeCompletion =
        std::function<void(std::shared_ptr<const FrozenScreens>, std::optional<CaptureFailure>)>;

    // How the user picks a window for a window capture.
    enum class WindowPicking {
        overlay,       // over the frozen screens, from the window list
        desktopPicker, // the desktop's own picker hands over the chosen window's pixels
        unsupported,
    };

    virtual ~ScreenCapture() = default;

    virtual std::vector<ScreenInfo> screens() const = 0;
    // AppKit.
    virtual QPointF mouseLocation() const = 0;

    virtual void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                                     ContentCompletion completion) = 0;
    // The displays alone, with no window list: cheaper when only an area is wanted.
    virtual void getShareableDisplays(ContentCompletion completion) = 0;
    // Display filters are served from a live freeze of that display when there is one.
    virtual void captureImage(const ContentFilter& filter, const StreamConfiguration& configuration,
                              ImageCompletion completion) = 0;
    // On-screen windows, front-most first; nothing when the list cannot be read.
    virtual std::optional<std::vector<WindowListEntry>> onScreenWindowList() const = 0;

    // Grabs every display once. With `forWindowPicking` the backend also prepares to read
    // covered windows' own pixels. Released when the last holder lets go.
    virtual std::shared_ptr<const FrozenScreens> freezeDisplays(bool forWindowPicking) = 0;
    // The same, for backends whose pixels arrive later: the completion runs on the GUI thread,
    // at once where the pixels are at hand.
    virtual void freezeDisplaysThen(bool forWindowPicking, FreezeCompletion completion) {
        completion(freezeDisplays(forWindowPicking), std::nullopt);
    }

    virtual WindowPicking windowPicking() const { return WindowPicking::overlay; }
    // With desktopPicker: the desktop asks the user for a window and hands over its pixels.
    virtual void pickWindowImage(ImageCompletion completion) {
        completion(std::nullopt, CaptureFailure{QStringLiteral("ScreenCapture"), 1,
                                                QStringLiteral("No window picker")});
    }
};

} // namespace quorvale::platform
