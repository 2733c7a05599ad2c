#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// Grid lines, box outlines, separators, window borders and underlines: thin straight
// strokes too long to be part of a glyph. The engine takes a box round a line of text for
// a picture and drops the line, and reads a rule as underscores or "|", so rules are
// painted over with what lies on either side of them.
class RuleLines {
public:
    // Per pixel ratio: thickest rule; shortest horizontal rule (longer than an em dash or
    // a few underscores); shortest vertical rule (taller than a "|" of screen sizes).
    static constexpr int kMaxThickness = 2;
    static constexpr int kMinHorizontal = 40;
    static constexpr int kMinVertical = 20;
    // How much darker than both sides a rule is.
    static constexpr int kMinContrast = 32;
    // Rules are also this many times longer than the letters' ascenders, so that pictures
    // taken at twice the size, which say nothing of their scale, keep "|", "[" and "l".
    static constexpr int kStemsPerVertical = 2;
    static constexpr int kStemsPerHorizontal = 4;
    // Widest glyph stroke crossing a rule (an underline through descenders), per pixel ratio.
    static constexpr int kMaxGap = 3;

    // `grey` is dark text on a light page. Returns the rules erased.
    static std::vector<QRect> erase(QImage& grey, int pixelRatio = 1);
};

} // namespace quorvale
