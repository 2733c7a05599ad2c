#include "recognition/PunctuationShape.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace quorvale {
namespace {

// A dot's bottom sits under its top within this share of its width.
constexpr double kMaxLean = 0.15;
// A comma with its tail is clearly taller than wide.
constexpr double kMaxDotAspect = 1.5;
// Fewer dark pixels are noise, not a mark.
constexpr int kMinInk = 3;
// An I's foot is about as wide as its top; a serifed T's foot is half its bar or less.
constexpr double kMinFootShare = 0.75;
// A bar is this many times as wide as the stem under it.
constexpr int kMinBarToStem = 2;

// The darkest and lightest levels in `area`, when they differ enough to hold ink.
std::optional<int> inkThreshold(const QImage& grey, const QRect& area) {
    int darkest = 255;
    int lightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        const auto [low, high] = std::minmax_element(line + area.left(), line + area.right() + 1);
        darkest = std::min<int>(darkest, *low);
        lightest = std::max<int>(lightest, *high);
    }
    if (lightest - darkest < 64) {
        return std::nullopt;
    }
    return (darkest + lightest) / 2;
}

} // namespace

bool PunctuationShape::isDot(const QImage& grey, const QRect& box) {
    if (grey.format() != QImage::Format_Grayscale8) {
        return false;
    }
    const QRect area = box.adjusted(-1, -1, 1, 1).intersected(grey.rect());
    if (area.isEmpty()) {
        return false;
    }
    const auto found = inkThreshold(grey, area);
    if (!found) {
        return false;
    }
    const int threshold = *found;
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

bool PunctuationShape::isSerifedI(const QImage& grey, const QRect& box) {
    if (grey.format() != QImage::Format_Grayscale8) {
        return false;
    }
    const QRect area = box.intersected(grey.rect());
    const auto threshold = area.isEmpty() ? std::nullopt : inkThreshold(grey, area);
    if (!threshold) {
        return false;
    }
    // Ink per row, over the first run of inked rows: what lies below a blank row (an
    // underscore) is not the letter.
    std::vector<int> widths;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        const int ink = int(std::count_if(line + area.left(), line + area.right() + 1,
                                          [&](uchar level) { return level < *threshold; }));
        if (ink == 0 && !widths.empty()) {
            break;
        }
        if (ink > 0) {
            widths.push_back(ink);
        }
    }
    const int height = int(widths.size());
    if (height < 8) {
        return false;
    }
    const int quarter = height / 4;
    const int top = *std::max_element(widths.begin(), widths.begin() + quarter);
    const int foot = *std::max_element(widths.end() - quarter, widths.end());
    std::vector<int> middle(widths.begin() + quarter, widths.end() - quarter);
    std::nth_element(middle.begin(), middle.begin() + middle.size() / 2, middle.end());
    const int stem = middle[middle.size() / 2];
    return top >= kMinBarToStem * stem && foot >= kMinFootShare * top;
}

} // namespace quorvale
