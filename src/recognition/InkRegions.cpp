#include "recognition/InkRegions.h"

#include <algorithm>

namespace quorvale {

InkRegions InkRegions::of(const QImage& grey, int threshold, Connectivity connectivity) {
    InkRegions found;
    const int w = grey.width();
    const int h = grey.height();
    found.width = w;
    const bool diagonal = connectivity == Connectivity::eight;
    std::vector<bool> seen(std::size_t(w) * h, false);
    for (int y0 = 0; y0 < h; ++y0) {
        for (int x0 = 0; x0 < w; ++x0) {
            if (seen[std::size_t(y0) * w + x0] || grey.constScanLine(y0)[x0] >= threshold) {
                continue;
            }
            Region region;
            region.first = found.pixels.size();
            int left = x0, right = x0, top = y0, bottom = y0;
            seen[std::size_t(y0) * w + x0] = true;
            found.pixels.push_back(y0 * w + x0);
            for (std::size_t next = region.first; next < found.pixels.size(); ++next) {
                const int px = found.pixels[next] % w;
                const int py = found.pixels[next] / w;
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
                for (int ny = std::max(0, py - 1); ny <= std::min(h - 1, py + 1); ++ny) {
                    const uchar* row = grey.constScanLine(ny);
                    for (int nx = std::max(0, px - 1); nx <= std::min(w - 1, px + 1); ++nx) {
                        if (!diagonal && nx != px && ny != py) {
                            continue;
                        }
                        const std::size_t slot = std::size_t(ny) * w + nx;
                        if (!seen[slot] && row[nx] < threshold) {
                            seen[slot] = true;
                            found.pixels.push_back(ny * w + nx);
                        }
                    }
                }
            }
            region.box = QRect(QPoint(left, top), QPoint(right, bottom));
            region.count = found.pixels.size() - region.first;
            found.regions.push_back(region);
        }
    }
    return found;
}

void InkRegions::fill(QImage& grey, const Region& region, int level) const {
    for (std::size_t i = region.first; i < region.first + region.count; ++i) {
        const QPoint p = at(i);
        grey.scanLine(p.y())[p.x()] = uchar(level);
    }
}

} // namespace quorvale
