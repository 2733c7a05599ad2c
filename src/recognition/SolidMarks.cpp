#include "recognition/SolidMarks.h"

#include "recognition/InkRegions.h"

#include <algorithm>

namespace quorvale {

std::vector<QRect> SolidMarks::clear(QImage& grey, int pageLevel, int pixelRatio) {
    std::vector<QRect> cleared;
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return cleared;
    }
    const int ratio = std::max(1, pixelRatio);
    const int threshold = pageLevel - kMinContrast;
    const InkRegions ink = InkRegions::of(grey, threshold, InkRegions::Connectivity::four);
    for (const InkRegions::Region& region : ink.regions) {
        const QRect& box = region.box;
        const int shortSide = std::min(box.width(), box.height());
        const int longSide = std::max(box.width(), box.height());
        if (shortSide < kMinSide * ratio || longSide > kMaxSide * ratio ||
            longSide > kMaxAspect * shortSide ||
            double(region.count) < kMinFillShare * double(box.width()) * box.height()) {
            continue;
        }
        ink.fill(grey, region, pageLevel);
        cleared.push_back(box);
    }
    return cleared;
}

} // namespace quorvale
