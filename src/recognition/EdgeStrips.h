#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// An area selection dragged a little beyond a window takes in a strip of its title bar or
// of the desktop: a band along the picture's edge, of another surface than the page and
// too thin to hold a line of text, where the engine reads cut-off glyphs as junk. Such
// bands are painted with the level of what lies inside them.
class EdgeStrips {
public:
    // Per pixel ratio: thicker bands may hold text.
    static constexpr int kMaxThickness = 10;
    // How far into the picture's corners, per pixel ratio, the same surface is cleared too.
    static constexpr int kCornerReach = 10;
    // Difference of the rows' usual levels that tells two surfaces apart.
    static constexpr int kMinContrast = 24;

    // `grey` has a page of `pageLevel`, which is never a strip. Returns the bands cleared.
    static std::vector<QRect> clear(QImage& grey, int pageLevel, int pixelRatio = 1);
};

} // namespace quorvale
