#include "recognition/EdgeStrips.h"

#include <QPoint>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace quorvale {
namespace {

// The level most of a row (or, transposed, a column) shows: its median.
int medianLevel(const QImage& grey, int index, bool column) {
    std::array<int, 256> counts{};
    const int length = column ? grey.height() : grey.width();
    for (int i = 0; i < length; ++i) {
        ++counts[column ? grey.constScanLine(i)[index] : grey.constScanLine(index)[i]];
    }
    int seen = 0;
    for (int level = 0; level < 256; ++level) {
        seen += counts[level];
        if (2 * seen >= length) {
            return level;
        }
    }
    return 255;
}

// The same surface showing round the rounded corners of the window beside the band, in
// the corners of the picture: cleared with it, so that no corner is read as "." or "=".
void clearCorners(QImage& grey, const QRect& band, int surface, int inside, int reach) {
    const int w = grey.width();
    const int h = grey.height();
    const auto nearCorner = [&](int x, int y) {
        const bool nearSide = x < reach || x >= w - reach;
        const bool nearEnd = y < reach || y >= h - reach;
        return nearSide && nearEnd;
    };
    const auto isSurface = [&](int x, int y) {
        const int v = grey.constScanLine(y)[x];
        return std::abs(v - surface) < std::abs(v - inside);
    };
    std::vector<QPoint> stack;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            if (nearCorner(x, y)) {
                stack.emplace_back(x, y);
            }
        }
    }
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        const QPoint neighbours[] = {
            {p.x() - 1, p.y()}, {p.x() + 1, p.y()}, {p.x(), p.y() - 1}, {p.x(), p.y() + 1}};
        for (const QPoint& n : neighbours) {
            if (n.x() < 0 || n.y() < 0 || n.x() >= w || n.y() >= h || !nearCorner(n.x(), n.y()) ||
                !isSurface(n.x(), n.y())) {
                continue;
            }
            grey.scanLine(n.y())[n.x()] = uchar(inside);
            stack.push_back(n);
        }
    }
}

} // namespace

std::vector<QRect> EdgeStrips::clear(QImage& grey, int pageLevel, int pixelRatio) {
    std::vector<QRect> cleared;
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return cleared;
    }
    const int maxThickness = kMaxThickness * std::max(1, pixelRatio);
    const int w = grey.width();
    const int h = grey.height();
    struct Edge {
        bool column;
        int first;
        int step;
        int count;
    };
    const Edge edges[] = {
        {false, 0, 1, h}, {false, h - 1, -1, h}, {true, 0, 1, w}, {true, w - 1, -1, w}};
    for (const Edge& edge : edges) {
        if (edge.count <= 4 * maxThickness) {
            continue;
        }
        const auto levelAt = [&](int depth) {
            return medianLevel(grey, edge.first + depth * edge.step, edge.column);
        };
        const int surface = levelAt(0);
        if (std::abs(surface - pageLevel) < kMinContrast) {
            continue;
        }
        int thickness = 1;
        while (thickness <= maxThickness && std::abs(levelAt(thickness) - surface) < kMinContrast) {
            ++thickness;
        }
        if (thickness > maxThickness) {
            continue;
        }
        // What lies inside, past the border line between the two if there is one.
        // and is a surface too, not a row of text.
        const int inside = levelAt(thickness + 1);
        if (std::abs(inside - surface) < kMinContrast ||
            std::abs(levelAt(thickness + 2) - inside) >= kMinContrast) {
            continue;
        }
        // Only along the surface: the desktop beside a title bar stays page.
        const int outer = edge.first;
        const int length = edge.column ? h : w;
        const auto levelOnEdge = [&](int i) {
            return edge.column ? grey.constScanLine(i)[outer] : grey.constScanLine(outer)[i];
        };
        int lo = 0;
        while (lo < length && std::abs(levelOnEdge(lo) - surface) >= kMinContrast) {
            ++lo;
        }
        int hi = length - 1;
        while (hi > lo && std::abs(levelOnEdge(hi) - surface) >= kMinContrast) {
            --hi;
        }
        const int from = edge.step > 0 ? edge.first : edge.first - thickness + 1;
        const QRect band = edge.column ? QRect(from, lo, thickness, hi - lo + 1)
                                       : QRect(lo, from, hi - lo + 1, thickness);
        for (int y = band.top(); y <= band.bottom(); ++y) {
            std::fill_n(grey.scanLine(y) + band.left(), band.width(), uchar(inside));
        }
        clearCorners(grey, band, surface, inside, kCornerReach * std::max(1, pixelRatio));
        cleared.push_back(band);
    }
    return cleared;
}

} // namespace quorvale
