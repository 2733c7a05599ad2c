#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale::platform {

struct ScreenArea {
    QRect geometry;         // the desktop's logical coordinates
    qreal devicePixelRatio; // pixels per logical unit on this screen
};

// Cuts one picture of the whole desktop (the bounding box of every screen, at one scale of
// its own) into each screen's picture at that screen's own pixel size. A null image where the
// picture does not fit the screens (they changed while it was taken).
std::vector<QImage> cutPerScreen(const QImage& whole, const std::vector<ScreenArea>& screens);

} // namespace quorvale::platform
