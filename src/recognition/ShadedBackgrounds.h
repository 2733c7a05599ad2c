#pragma once

#include <QImage>

namespace quorvale {

// A selected row in mid grey or tan, a table header, a gradient, a coloured icon: fills
// lighter than ink but darker than the page. The engine thresholds the page as a whole and
// may count such a fill as ink, losing the text on it, so each pixel is lifted by what its
// own neighbourhood's background lacks to reach the page.
class ShadedBackgrounds {
public:
    // Darker backgrounds are ink (bold strokes wider than the neighbourhood) or panels that
    // may hold lighter text, which lifting them would hide.
    static constexpr int kMinBackground = 150;
    // Half the neighbourhood's side per pixel ratio: wider than the boldest screen stroke.
    static constexpr int kRadius = 5;

    // `grey` is dark text on a light page of `pageLevel`.
    static void flatten(QImage& grey, int pageLevel, int pixelRatio = 1);
};

} // namespace quorvale
