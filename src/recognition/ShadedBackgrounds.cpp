#include "recognition/ShadedBackgrounds.h"

#include <algorithm>
#include <vector>

namespace quorvale {
namespace {

// The brightest value within `radius` along a row (or a column, with the strides
// swapped): the background under strokes thinner than the window.
void slidingMax(const uchar* in, uchar* out, int count, int stride, int radius) {
    // Two passes of running maxima over blocks of the window's size (van Herk).
    const int window = 2 * radius + 1;
    std::vector<uchar> left(count), right(count);
    for (int i = 0; i < count; ++i) {
        const uchar v = in[i * stride];
        left[i] = i % window == 0 ? v : std::max(left[i - 1], v);
    }
    for (int i = count - 1; i >= 0; --i) {
        const uchar v = in[i * stride];
        right[i] = (i % window == window - 1 || i == count - 1) ? v : std::max(right[i + 1], v);
    }
    for (int i = 0; i < count; ++i) {
        const int from = std::max(0, i - radius);
        const int to = std::min(count - 1, i + radius);
        out[i * stride] = std::max(right[from], left[to]);
    }
}

} // namespace

void ShadedBackgrounds::flatten(QImage& grey, int pageLevel, int pixelRatio) {
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return;
    }
    const int radius = kRadius * std::max(1, pixelRatio);
    const int w = grey.width();
    const int h = grey.height();
    QImage rows(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        slidingMax(grey.constScanLine(y), rows.scanLine(y), w, 1, radius);
    }
    QImage background(w, h, QImage::Format_Grayscale8);
    const int stride = int(rows.bytesPerLine());
    for (int x = 0; x < w; ++x) {
        slidingMax(rows.constBits() + x, background.bits() + x, h, stride, radius);
    }
    for (int y = 0; y < h; ++y) {
        uchar* line = grey.scanLine(y);
        const uchar* under = background.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (under[x] < pageLevel && under[x] >= kMinBackground) {
                line[x] = uchar(std::min(pageLevel, line[x] * pageLevel / under[x]));
            }
        }
    }
}

} // namespace quorvale
