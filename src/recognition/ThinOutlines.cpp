#include "recognition/ThinOutlines.h"

#include "recognition/InkRegions.h"

#include <algorithm>
#include <climits>

namespace quorvale {
namespace {

// Whether the stroke lies on both sides of the box's middle in nearly every column and row.
bool closed(const InkRegions& ink, const InkRegions::Region& c) {
    const QRect& box = c.box;
    std::vector<int> colTop(box.width(), INT_MAX), colBottom(box.width(), INT_MIN);
    std::vector<int> rowLeft(box.height(), INT_MAX), rowRight(box.height(), INT_MIN);
    for (std::size_t i = c.first; i < c.first + c.count; ++i) {
        const int x = ink.at(i).x() - box.left();
        const int y = ink.at(i).y() - box.top();
        colTop[x] = std::min(colTop[x], y);
        colBottom[x] = std::max(colBottom[x], y);
        rowLeft[y] = std::min(rowLeft[y], x);
        rowRight[y] = std::max(rowRight[y], x);
    }
    const int midY = box.height() / 2;
    const int midX = box.width() / 2;
    int columns = 0;
    for (int x = 0; x < box.width(); ++x) {
        columns += colTop[x] < midY && colBottom[x] > midY;
    }
    int rows = 0;
    for (int y = 0; y < box.height(); ++y) {
        rows += rowLeft[y] < midX && rowRight[y] > midX;
    }
    return double(columns) >= ThinOutlines::kMinClosedShare * box.width() &&
           double(rows) >= ThinOutlines::kMinClosedShare * box.height();
}

} // namespace

std::vector<QRect> ThinOutlines::clear(QImage& grey, int pageLevel, int pixelRatio) {
    std::vector<QRect> cleared;
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return cleared;
    }
    const int ratio = std::max(1, pixelRatio);
    const int threshold = pageLevel - kMinContrast;
    // Eight-connected: the arcs of a one-pixel outline step diagonally.
    const InkRegions ink = InkRegions::of(grey, threshold, InkRegions::Connectivity::eight);
    for (const InkRegions::Region& outline : ink.regions) {
        const QRect& box = outline.box;
        if (box.height() < kMinHeight * ratio || box.height() > kMaxHeight * ratio ||
            box.width() < box.height() ||
            double(outline.count) > kMaxStroke * ratio * 2.0 * (box.width() + box.height()) ||
            !closed(ink, outline)) {
            continue;
        }
        const QRect inside = box.adjusted(1, 1, -1, -1);
        const int letters = int(
            std::count_if(ink.regions.begin(), ink.regions.end(), [&](const InkRegions::Region& c) {
                return inside.contains(c.box) && box.height() >= kMinLetterRatio * c.box.height() &&
                       box.height() <= kMaxLetterRatio * c.box.height();
            }));
        if (letters < kMinLetters) {
            continue;
        }
        ink.fill(grey, outline, pageLevel);
        cleared.push_back(box);
    }
    return cleared;
}

} // namespace quorvale
