#include "recognition/SolidMarks.h"

#include <QPoint>
#include <algorithm>

namespace quorvale {

std::vector<QRect> SolidMarks::clear(QImage& grey, int pageLevel, int pixelRatio) {
    std::vector<QRect> cleared;
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return cleared;
    }
    const int ratio = std::max(1, pixelRatio);
    const int w = grey.width();
    const int h = grey.height();
    const int threshold = pageLevel - kMinContrast;
    std::vector<int> labels(std::size_t(w) * h, 0);
    std::vector<QPoint> stack;
    std::vector<QPoint> members;
    int label = 0;
    for (int y0 = 0; y0 < h; ++y0) {
        for (int x0 = 0; x0 < w; ++x0) {
            if (labels[std::size_t(y0) * w + x0] != 0 || grey.constScanLine(y0)[x0] >= threshold) {
                continue;
            }
            // One four-connected region of non-page pixels.
            ++label;
            members.clear();
            stack.assign(1, QPoint(x0, y0));
            labels[std::size_t(y0) * w + x0] = label;
            QRect box(x0, y0, 1, 1);
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                members.push_back(p);
                box = box.united(QRect(p, QSize(1, 1)));
                const QPoint neighbours[] = {
                    {p.x() - 1, p.y()}, {p.x() + 1, p.y()}, {p.x(), p.y() - 1}, {p.x(), p.y() + 1}};
                for (const QPoint& n : neighbours) {
                    if (n.x() < 0 || n.y() < 0 || n.x() >= w || n.y() >= h) {
                        continue;
                    }
                    int& slot = labels[std::size_t(n.y()) * w + n.x()];
                    if (slot == 0 && grey.constScanLine(n.y())[n.x()] < threshold) {
                        slot = label;
                        stack.push_back(n);
                    }
                }
            }
            const int shortSide = std::min(box.width(), box.height());
            const int longSide = std::max(box.width(), box.height());
            if (shortSide < kMinSide * ratio || longSide > kMaxSide * ratio ||
                longSide > kMaxAspect * shortSide ||
                double(members.size()) < kMinFillShare * double(box.width()) * box.height()) {
                continue;
            }
            for (const QPoint& p : members) {
                grey.scanLine(p.y())[p.x()] = uchar(pageLevel);
            }
            cleared.push_back(box);
        }
    }
    return cleared;
}

} // namespace quorvale
