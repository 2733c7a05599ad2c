#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// The connected regions of pixels darker than a threshold on a grey page.
struct InkRegions {
    struct Region {
        QRect box;
        std::size_t first = 0; // into `pixels`
        std::size_t count = 0;
    };

    enum class Connectivity { four, eight };

    // `grey` is Format_Grayscale8.
    static InkRegions of(const QImage& grey, int threshold, Connectivity connectivity);

    // Pixel indices (y * width + x), each region's together.
    std::vector<int> pixels;
    std::vector<Region> regions;
    int width = 0;

    QPoint at(std::size_t index) const {
        return QPoint(pixels[index] % width, pixels[index] / width);
    }
    // Paints a region's pixels with `level`.
    void fill(QImage& grey, const Region& region, int level) const;
};

} // namespace quorvale
