#include "capture/CaptureGeometry.h"

#include <algorithm>
#include <cmath>

namespace quorvale {
namespace {

// Far beyond any screen, well inside what an image can address.
constexpr double kMaxPixelLength = 1 << 20;

std::optional<double> scaleOf(const platform::CaptureDisplay& display) {
    const double scale = double(display.width) / display.frame.width();
    if (!std::isfinite(scale) || scale <= 0) {
        return std::nullopt;
    }
    return scale;
}

} // namespace

std::optional<platform::ScreenInfo>
CaptureGeometry::primaryScreen(const std::vector<platform::ScreenInfo>& screens) {
    for (const platform::ScreenInfo& screen : screens) {
        if (screen.frame.x() == 0 && screen.frame.y() == 0) {
            return screen;
        }
    }
    return std::nullopt;
}

double CaptureGeometry::primaryScreenHeight(const std::vector<platform::ScreenInfo>& screens) {
    const auto primary = primaryScreen(screens);
    return primary ? primary->frame.height() : 0.0;
}

QRectF CaptureGeometry::flipped(const QRectF& rect, double primaryHeight) {
    const double height = std::abs(rect.height());
    return {rect.x(), primaryHeight - (height + rect.y()), rect.width(), height};
}

QPointF CaptureGeometry::flipped(const QPointF& point, double primaryHeight) {
    return {point.x(), primaryHeight - point.y()};
}

bool CaptureGeometry::contains(const QRectF& rect, const QPointF& point) {
    const QRectF r = rect.normalized();
    return point.x() >= r.left() && point.x() < r.right() && point.y() >= r.top() &&
           point.y() < r.bottom();
}

QRectF CaptureGeometry::rectFromPoints(const QPointF& a, const QPointF& b) {
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()),
            std::abs(a.y() - b.y())};
}

std::optional<std::int64_t> CaptureGeometry::pixelLength(double points, double scale) {
    const double pixels = std::trunc(points * scale);
    if (!std::isfinite(pixels) || pixels < 1 || pixels > kMaxPixelLength) {
        return std::nullopt;
    }
    return std::int64_t(pixels);
}

Result<CaptureGeometry::AreaPlan, QString>
CaptureGeometry::planArea(const QRectF& appKitRect,
                          const std::vector<platform::ScreenInfo>& screens,
                          const std::vector<platform::CaptureDisplay>& displays) {
    using R = Result<AreaPlan, QString>;
    const auto primary = primaryScreen(screens);
    if (!primary) {
        return R::failure(kNoPrimaryScreen);
    }
    const QRectF global = flipped(appKitRect, primary->frame.height());
    const QPointF center(global.x() + global.width() / 2, global.y() + global.height() / 2);
    const auto display = std::find_if(displays.begin(), displays.end(),
                                      [&](const auto& d) { return contains(d.frame, center); });
    if (display == displays.end()) {
        return R::failure(kNoDisplayForCenter);
    }
    const QRectF& frame = display->frame;
    const QRectF local(global.x() - frame.x(), global.y() - frame.y(), global.width(),
                       global.height());
    const double left = std::max(local.left(), 0.0);
    const double top = std::max(local.top(), 0.0);
    const double right = std::min(local.right(), frame.width());
    const double bottom = std::min(local.bottom(), frame.height());
    if (!(right > left) || !(bottom > top)) {
        return R::failure(kInvalidSourceRect);
    }
    const QRectF source(left, top, right - left, bottom - top);
    const auto scale = scaleOf(*display);
    const auto width = scale ? pixelLength(source.width(), *scale) : std::nullopt;
    const auto height = scale ? pixelLength(source.height(), *scale) : std::nullopt;
    if (!width || !height) {
        return R::failure(kInvalidSourceRect);
    }
    return R::success({std::size_t(display - displays.begin()), source, *width, *height});
}

Result<CaptureGeometry::WindowPlan, QString>
CaptureGeometry::planWindow(const QRectF& windowFrame,
                            const std::vector<platform::CaptureDisplay>& displays) {
    using R = Result<WindowPlan, QString>;
    std::optional<double> scale = 2.0;
    if (!displays.empty()) {
        const QPointF center = windowFrame.center();
        auto display = std::find_if(displays.begin(), displays.end(),
                                    [&](const auto& d) { return contains(d.frame, center); });
        scale = scaleOf(display == displays.end() ? displays.front() : *display);
    }
    const auto width = scale ? pixelLength(windowFrame.width(), *scale) : std::nullopt;
    const auto height = scale ? pixelLength(windowFrame.height(), *scale) : std::nullopt;
    if (!width || !height) {
        return R::failure(kInvalidSourceRect);
    }
    return R::success({*scale, *width, *height});
}

} // namespace quorvale
