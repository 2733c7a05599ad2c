#include "recognition/BoxEnds.h"

#include <algorithm>
#include <cstdlib>

namespace quorvale {
namespace {

// The fill is the lightest level round the end; ink is well below it.
constexpr int kMinContrast = 48;

int lightest(const QImage& grey, const QRect& area) {
    int level = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        level = std::max<int>(level, *std::max_element(row + area.left(), row + area.right() + 1));
    }
    return level;
}

bool inkInRows(const QImage& grey, const QRect& area, int top, int bottom, int fill) {
    for (int y = std::max(top, area.top()); y <= std::min(bottom, area.bottom()); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            if (row[x] + kMinContrast <= fill) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<QRect> BoxEnds::clear(QImage& grey, const std::vector<QRect>& rules, int pixelRatio) {
    std::vector<QRect> cleared;
    if (grey.format() != QImage::Format_Grayscale8) {
        return cleared;
    }
    const int tolerance = kEndTolerance * std::max(1, pixelRatio);
    for (const QRect& top : rules) {
        for (const QRect& bottom : rules) {
            const int height = bottom.top() - top.bottom() - 1;
            const bool pair = top.width() > top.height() && bottom.width() > bottom.height() &&
                              height >= kMinHeight * tolerance / kEndTolerance &&
                              height <= kMaxHeight * tolerance / kEndTolerance &&
                              std::abs(top.left() - bottom.left()) <= tolerance &&
                              std::abs(top.right() - bottom.right()) <= tolerance;
            if (!pair) {
                continue;
            }
            // An end reaches out by at most half the box's height, as a half circle.
            const int reach = height / 2 + tolerance;
            const int left = std::min(top.left(), bottom.left());
            const int right = std::max(top.right(), bottom.right());
            for (const QRect end :
                 {QRect(QPoint(left - reach, top.top()), QPoint(left - 1, bottom.bottom())),
                  QRect(QPoint(right + 1, top.top()), QPoint(right + reach, bottom.bottom()))}) {
                const QRect area = end.intersected(grey.rect());
                if (area.isEmpty()) {
                    continue;
                }
                const int fill = lightest(grey, area);
                // It joins the rules: ink just below the top one and just above the bottom.
                const int near = tolerance + top.height();
                if (!inkInRows(grey, area, top.top(), top.bottom() + near, fill) ||
                    !inkInRows(grey, area, bottom.top() - near, bottom.bottom(), fill)) {
                    continue;
                }
                for (int y = area.top(); y <= area.bottom(); ++y) {
                    std::fill_n(grey.scanLine(y) + area.left(), area.width(), uchar(fill));
                }
                cleared.push_back(area);
            }
        }
    }
    return cleared;
}

} // namespace quorvale
