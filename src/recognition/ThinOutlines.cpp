#include "recognition/ThinOutlines.h"

#include <algorithm>
#include <climits>

namespace quorvale {
namespace {

struct Component {
    QRect box;
    std::size_t first = 0; // into the flat list of members
    std::size_t count = 0;
};

// Whether the stroke lies on both sides of the box's middle in nearly every column and row.
bool closed(const Component& c, const std::vector<int>& members, int width) {
    const QRect& box = c.box;
    std::vector<int> colTop(box.width(), INT_MAX), colBottom(box.width(), INT_MIN);
    std::vector<int> rowLeft(box.height(), INT_MAX), rowRight(box.height(), INT_MIN);
    for (std::size_t i = c.first; i < c.first + c.count; ++i) {
        const int x = members[i] % width - box.left();
        const int y = members[i] / width - box.top();
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
    const int w = grey.width();
    const int h = grey.height();
    const int threshold = pageLevel - kMinContrast;
    // Eight-connected: the arcs of a one-pixel outline step diagonally.
    std::vector<int> labels(std::size_t(w) * h, -1);
    std::vector<int> members;
    std::vector<Component> components;
    for (int y0 = 0; y0 < h; ++y0) {
        for (int x0 = 0; x0 < w; ++x0) {
            if (labels[std::size_t(y0) * w + x0] >= 0 || grey.constScanLine(y0)[x0] >= threshold) {
                continue;
            }
            Component c;
            c.first = members.size();
            c.box = QRect(x0, y0, 1, 1);
            int left = x0, right = x0, top = y0, bottom = y0;
            labels[std::size_t(y0) * w + x0] = int(components.size());
            members.push_back(y0 * w + x0);
            for (std::size_t next = c.first; next < members.size(); ++next) {
                const int px = members[next] % w;
                const int py = members[next] / w;
                left = std::min(left, px);
                right = std::max(right, px);
                top = std::min(top, py);
                bottom = std::max(bottom, py);
                for (int ny = std::max(0, py - 1); ny <= std::min(h - 1, py + 1); ++ny) {
                    const uchar* row = grey.constScanLine(ny);
                    for (int nx = std::max(0, px - 1); nx <= std::min(w - 1, px + 1); ++nx) {
                        int& slot = labels[std::size_t(ny) * w + nx];
                        if (slot < 0 && row[nx] < threshold) {
                            slot = int(components.size());
                            members.push_back(ny * w + nx);
                        }
                    }
                }
            }
            c.box = QRect(QPoint(left, top), QPoint(right, bottom));
            c.count = members.size() - c.first;
            components.push_back(c);
        }
    }

    for (const Component& outline : components) {
        const QRect& box = outline.box;
        if (box.height() < kMinHeight * ratio || box.height() > kMaxHeight * ratio ||
            box.width() < box.height() ||
            double(outline.count) > kMaxStroke * ratio * 2.0 * (box.width() + box.height()) ||
            !closed(outline, members, w)) {
            continue;
        }
        const QRect inside = box.adjusted(1, 1, -1, -1);
        const int letters =
            int(std::count_if(components.begin(), components.end(), [&](const Component& c) {
                return inside.contains(c.box) && box.height() >= kMinLetterRatio * c.box.height() &&
                       box.height() <= kMaxLetterRatio * c.box.height();
            }));
        if (letters < kMinLetters) {
            continue;
        }
        for (std::size_t i = outline.first; i < outline.first + outline.count; ++i) {
            grey.scanLine(members[i] / w)[members[i] % w] = uchar(pageLevel);
        }
        cleared.push_back(box);
    }
    return cleared;
}

} // namespace quorvale
