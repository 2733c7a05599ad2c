#pragma once

#include "common/Result.h"
#include "platform/ScreenCapture.h"

#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvale {

// The coordinate algebra of a capture: AppKit (y up) and CG (y down) global rectangles,
// the display that gets an area, and pixel sizes. Pure functions.
class CaptureGeometry {
public:
    struct AreaPlan {
        std::size_t displayIndex = 0;
        QRectF sourceRect; // display-local points
        std::int64_t width = 0;
        std::int64_t height = 0;
    };
    struct WindowPlan {
        double scale = 0;
        std::int64_t width = 0;
        std::int64_t height = 0;
    };

    static inline const QString kNoPrimaryScreen = QStringLiteral("Could not find primary screen");
    static inline const QString kNoDisplayForCenter =
        QStringLiteral("No display found containing rect center");
    static inline const QString kInvalidSourceRect = QStringLiteral("Invalid source rect");

    // The first screen whose frame origin is exactly (0, 0).
    static std::optional<platform::ScreenInfo>
    primaryScreen(const std::vector<platform::ScreenInfo>& screens);
    // 0 when there is no primary screen.
    static double primaryScreenHeight(const std::vector<platform::ScreenInfo>& screens);

    // AppKit <-> CG; the same formula both ways, with the primary screen's height.
    static QRectF flipped(const QRectF& rect, double primaryHeight);
    static QPointF flipped(const QPointF& point, double primaryHeight);

    // Half-open on the far edges, so a point on a shared edge belongs to one display.
    static bool contains(const QRectF& rect, const QPointF& point);
    static QRectF rectFromPoints(const QPointF& a, const QPointF& b);
    // Truncates toward zero; nothing when the value is not a usable pixel count.
    static std::optional<std::int64_t> pixelLength(double points, double scale);

    static Result<AreaPlan, QString>
    planArea(const QRectF& appKitRect, const std::vector<platform::ScreenInfo>& screens,
             const std::vector<platform::CaptureDisplay>& displays);
    static Result<WindowPlan, QString>
    planWindow(const QRectF& windowFrame, const std::vector<platform::CaptureDisplay>& displays);
};

} // namespace quorvale
