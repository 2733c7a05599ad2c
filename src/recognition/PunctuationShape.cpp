#include "recognition/PunctuationShape.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorvale {
namespace {

// A dot's bottom sits under its top within this share of its width.
constexpr double kMaxLean = 0.15;
// A comma with its tail is clearly taller than wide.
constexpr double kMaxDotAspect = 1.5;
// Fewer dark pixels are noise, not a mark.
constexpr int kMinInk = 3;

} // namespace

bool PunctuationShape::isDot(const QImage& grey, const QRect& box) {
    if (grey.format() != QImage::Format_Grayscale8) {
        return false;
    }
    const QRect area = box.adjusted(-1, -1, 1, 1).intersected(grey.rect());
    if (area.isEmpty()) {
        return false;
    }
    int darkest = 255;
    int lightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        const auto [low, high] = std::minmax_element(line + area.left(), line + area.right() + 1);
        darkest = std::min<int>(darkest, *low);
        lightest = std::max<int>(lightest, *high);
    }
    if (lightest - darkest < 64) {
        return false;
    }
    const int threshold = (darkest + lightest) / 2;
    // Per row: ink weight and its horizontal centre.
    struct Row {
        double weight = 0;
        double moment = 0;
    };
    std::vector<Row> rows;
    int top = -1, bottom = -1, left = area.right(), right = area.left();
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        Row row;
        for (int x = area.left(); x <= area.right(); ++x) {
            if (line[x] < threshold) {
                const double w = threshold - line[x];
                row.weight += w;
                row.moment += w * x;
                left = std::min(left, x);
                right = std::max(right, x);
                ++ink;
            }
        }
        if (row.weight > 0) {
            top = top < 0 ? y : top;
            bottom = y;
        }
        rows.push_back(row);
    }
    if (ink < kMinInk) {
        return false;
    }
    const int width = right - left + 1;
    const int height = bottom - top + 1;
    if (height > kMaxDotAspect * width) {
        return false;
    }
    // Centres of the upper and the lower third of the mark.
    const int third = std::max(1, height / 3);
    const auto centre = [&](int from, int to) {
        double weight = 0, moment = 0;
        for (int y = from; y <= to; ++y) {
            weight += rows[y - area.top()].weight;
            moment += rows[y - area.top()].moment;
        }
        return weight > 0 ? moment / weight : 0.0;
    };
    const double lean = centre(bottom - third + 1, bottom) - centre(top, top + third - 1);
    return std::abs(lean) <= kMaxLean * width;
}

} // namespace quorvale
