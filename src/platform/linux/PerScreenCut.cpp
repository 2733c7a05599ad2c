#include "platform/linux/PerScreenCut.h"

#include <cmath>

namespace quorvale::platform {

std::vector<QImage> cutPerScreen(const QImage& whole, const std::vector<ScreenArea>& screens) {
    std::vector<QImage> result(screens.size());
    QRect bounds;
    for (const ScreenArea& screen : screens) {
        bounds |= screen.geometry;
    }
    if (whole.isNull() || bounds.isEmpty()) {
        return result;
    }
    // The desktop draws the picture at one scale (often the highest of its screens).
    const double scaleX = double(whole.width()) / bounds.width();
    const double scaleY = double(whole.height()) / bounds.height();
    if (std::abs(scaleX - scaleY) > 0.01 * std::max(scaleX, scaleY)) {
        return result;
    }
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const ScreenArea& screen = screens[i];
        const QRect local = screen.geometry.translated(-bounds.topLeft());
        const QRect source(
            int(std::lround(local.x() * scaleX)), int(std::lround(local.y() * scaleY)),
            int(std::lround(local.width() * scaleX)), int(std::lround(local.height() * scaleY)));
        const QRect inside = source.intersected(whole.rect());
        if (inside.isEmpty()) {
            continue;
        }
        const QSize pixels(int(std::lround(screen.geometry.width() * screen.devicePixelRatio)),
                           int(std::lround(screen.geometry.height() * screen.devicePixelRatio)));
        QImage cut = whole.copy(inside).convertToFormat(QImage::Format_RGB32);
        if (cut.size() != pixels) {
            cut = cut.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        result[i] = std::move(cut);
    }
    return result;
}

} // namespace quorvale::platform
