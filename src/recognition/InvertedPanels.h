#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// Screens mix polarities: a light page holds a dark title bar, a selected row, a coloured
// button with white text. The engine reads one polarity per line well, so solid regions
// darker than the page that hold lighter content are turned into dark-on-light, their
// fill raised to the page's level. A fill that holds darker content (a saturated highlight
// or title bar whose white text the grey page has already made dark) is only raised.
class InvertedPanels {
public:
    // Less contrast than this against the page is shading, not a panel.
    static constexpr int kMinContrast = 64;
    // Labelling takes 4 bytes a pixel and more while filling; larger pictures (beyond
    // two 4K screens) are left as they are.
    static constexpr qint64 kMaxPixels = 20'000'000;

    // `grey` is Format_Grayscale8 with a light page of `pageLevel`; `pixelRatio` sizes
    // what counts as a stroke (wider strokes on HiDPI images). Returns the panels turned.
    static std::vector<QRect> normalize(QImage& grey, int pageLevel, int pixelRatio = 1);
};

} // namespace quorvale
