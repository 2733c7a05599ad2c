#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// Checkboxes, radio dots, solid icons and window-menu buttons sit beside a line of text as
// filled blocks, which the engine reads as "&", "BB" or "mm". No glyph fills nearly all of a
// box that large, so such blocks are painted with the page's level, tick and all.
class SolidMarks {
public:
    // Per pixel ratio: smaller blocks are full stops and bullets; larger ones are pictures.
    static constexpr int kMinSide = 8;
    static constexpr int kMaxSide = 64;
    // Longer blocks are bars or rules, left to the stages that know them.
    static constexpr int kMaxAspect = 3;
    // Share of the block's box that is not page; a bold glyph's is well below.
    static constexpr double kMinFillShare = 0.8;
    // How much darker than the page a pixel is to belong to a block.
    static constexpr int kMinContrast = 48;

    // `grey` is dark text on a light page of `pageLevel`. Returns the blocks cleared.
    static std::vector<QRect> clear(QImage& grey, int pageLevel, int pixelRatio = 1);
};

} // namespace quorvale
