#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// Rounded buttons, pill tags and boxed words draw a thin closed line round their text. The
// engine reads its arcs as "(" and ")", or drops the word they hold. A stroke that closes
// round letters of a fitting size is painted with the page's level, the letters left.
class ThinOutlines {
public:
    // Per pixel ratio: the outline heights that hold one line of text.
    static constexpr int kMinHeight = 8;
    static constexpr int kMaxHeight = 48;
    // Ink per pixel of the box's perimeter, per pixel ratio: a stroke, not a fill.
    static constexpr double kMaxStroke = 2.0;
    // The outline is this many times as tall as the letters it holds, at least and at most.
    static constexpr double kMinLetterRatio = 1.2;
    static constexpr double kMaxLetterRatio = 3.2;
    // A word, not a mark beside a lone glyph.
    static constexpr int kMinLetters = 2;
    // Share of its columns and of its rows in which the stroke lies on both sides of the
    // middle: nearly closed.
    static constexpr double kMinClosedShare = 0.9;
    // How much darker than the page a pixel is to be ink.
    static constexpr int kMinContrast = 48;

    // `grey` is dark text on a light page of `pageLevel`. Returns the outlines cleared.
    static std::vector<QRect> clear(QImage& grey, int pageLevel, int pixelRatio = 1);
};

} // namespace quorvale
