#pragma once

#include <QImage>
#include <QRect>

namespace quorvale {

// Tells a full stop from a comma by its ink. Terminal bitmap fonts draw the full stop as a
// small cross as tall as their comma, and the engine reads many of them as commas.
class PunctuationShape {
public:
    // True when the dark ink in `box` of a dark-on-light grey image is a dot: about as
    // tall as wide, its bottom centred under its top; a comma's tail bends away.
    static bool isDot(const QImage& grey, const QRect& box);
    // True when the ink in `box` has a foot as wide as its top bar across a thin stem: the
    // serifed I of a monospaced font, which the engine reads as a T (whose foot, if any, is
    // clearly narrower than its bar).
    static bool isSerifedI(const QImage& grey, const QRect& box);
};

} // namespace quorvale
