#include "recognition/PageSplit.h"

#include <algorithm>
#include <vector>

namespace quorvale {
namespace {

// Darker than the page by this much is ink.
constexpr int kInkContrast = 64;
// A gap between lines is at least this share of a line's height; the gap between the
// dot and the stem of an "i" is less.
constexpr double kMinGapShare = 0.2;
// Neither half may have less than this share of the work.
constexpr double kMinHalfShare = 0.25;

struct Band {
    int top = 0;
    int bottom = 0; // exclusive
    int left = 0;
    int right = 0; // exclusive
    double work = 0;
    int height() const { return bottom - top; }
};

// Runs of rows holding ink, with the ink's horizontal extent.
std::vector<Band> inkBands(const QImage& grey, int pageLevel) {
    std::vector<Band> bands;
    const int threshold = pageLevel - kInkContrast;
    bool open = false;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        const uchar* end = line + grey.width();
        const auto isInk = [threshold](uchar v) { return v < threshold; };
        const uchar* first = std::find_if(line, end, isInk);
        if (first == end) {
            open = false;
            continue;
        }
        const uchar* last = end - 1;
        while (!isInk(*last)) {
            --last; // stops at `first` at the latest
        }
        const int left = int(first - line);
        const int right = int(last - line) + 1;
        if (!open) {
            bands.push_back({y, y + 1, left, right});
            open = true;
            continue;
        }
        Band& band = bands.back();
        band.bottom = y + 1;
        band.left = std::min(band.left, left);
        band.right = std::max(band.right, right);
    }
    return bands;
}

} // namespace

std::optional<int> PageSplit::balancedCut(const QImage& grey, int pageLevel, double minWork) {
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return std::nullopt;
    }
    std::vector<Band> bands = inkBands(grey, pageLevel);
    if (bands.size() < 2) {
        return std::nullopt;
    }
    // A line's height, from the bands that are lines rather than strokes or dots.
    const int tallest =
        std::max_element(bands.begin(), bands.end(), [](const Band& a, const Band& b) {
            return a.height() < b.height();
        })->height();
    std::vector<int> heights;
    for (const Band& band : bands) {
        if (2 * band.height() >= tallest) {
            heights.push_back(band.height());
        }
    }
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    const double lineHeight = heights[heights.size() / 2];
    // Low bands (underscores, accents, dots) and bands closer than a line gap belong to
    // the line beside them: the page is never cut next to one.
    const auto isLow = [lineHeight](const Band& band) { return 2 * band.height() < lineHeight; };
    for (Band& band : bands) {
        band.work = isLow(band) ? 0.0 : (band.right - band.left) / lineHeight;
    }
    std::vector<Band> lines = {bands.front()};
    bool lastWasLow = isLow(bands.front());
    for (std::size_t i = 1; i < bands.size(); ++i) {
        Band& last = lines.back();
        const bool low = isLow(bands[i]);
        if (low || lastWasLow || bands[i].top - last.bottom < kMinGapShare * lineHeight) {
            last.bottom = bands[i].bottom;
            last.left = std::min(last.left, bands[i].left);
            last.right = std::max(last.right, bands[i].right);
            last.work += bands[i].work;
        } else {
            lines.push_back(bands[i]);
        }
        lastWasLow = low;
    }
    double total = 0;
    for (const Band& line : lines) {
        total += line.work;
    }
    if (lines.size() < 2 || total < minWork) {
        return std::nullopt;
    }
    std::optional<int> best;
    double bestImbalance = 0;
    double above = 0;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        above += lines[i].work;
        const double smaller = std::min(above, total - above);
        const double imbalance = total / 2 - smaller;
        if (smaller >= kMinHalfShare * total && (!best || imbalance < bestImbalance)) {
            best = (lines[i].bottom + lines[i + 1].top) / 2;
            bestImbalance = imbalance;
        }
    }
    return best;
}

} // namespace quorvale
