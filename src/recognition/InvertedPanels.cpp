#include "recognition/InvertedPanels.h"

#include <algorithm>
#include <cstdint>

namespace quorvale {
namespace {

// Smaller regions are glyph parts or icons; per pixel ratio.
constexpr int kMinPanelSide = 10;
// A panel's own outline: the fill runs (almost) all round its bounding box, which big bold
// glyphs and L-shaped layouts do not.
constexpr double kMinOutlineShare = 0.95;
// Outlined boxes (text fields, tables) are mostly page inside; a panel is mostly fill.
constexpr double kMinFillShare = 0.5;
// Lighter pixels inside that could be text; per pixel ratio squared.
constexpr int kMinContentPixels = 12;

struct Component {
    QRect box;
    qint64 area = 0;
    qint64 levelSum = 0;
};

class Labeller {
public:
    Labeller(const QImage& grey, int threshold)
        : m_grey(grey)
        , m_width(grey.width())
        , m_height(grey.height())
        , m_labels(std::size_t(m_width) * m_height, 0)
        , m_threshold(threshold) {}

    bool isFill(int x, int y) const { return m_grey.constScanLine(y)[x] < m_threshold; }
    int labelAt(int x, int y) const { return m_labels[std::size_t(y) * m_width + x]; }

    // Four-connected regions darker than the threshold, each with its box and mean level.
    std::vector<Component> label() {
        std::vector<Component> components;
        std::vector<QPoint> stack;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (labelAt(x, y) != 0 || !isFill(x, y)) {
                    continue;
                }
                components.push_back(flood(x, y, int(components.size()) + 1, stack));
            }
        }
        return components;
    }

private:
    Component flood(int x0, int y0, int label, std::vector<QPoint>& stack) {
        Component component;
        int left = x0, right = x0, top = y0, bottom = y0;
        stack.assign(1, QPoint(x0, y0));
        m_labels[std::size_t(y0) * m_width + x0] = label;
        while (!stack.empty()) {
            const QPoint p = stack.back();
            stack.pop_back();
            ++component.area;
            component.levelSum += m_grey.constScanLine(p.y())[p.x()];
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
            const QPoint neighbours[] = {
                {p.x() - 1, p.y()}, {p.x() + 1, p.y()}, {p.x(), p.y() - 1}, {p.x(), p.y() + 1}};
            for (const QPoint& n : neighbours) {
                if (n.x() < 0 || n.y() < 0 || n.x() >= m_width || n.y() >= m_height) {
                    continue;
                }
                int& slot = m_labels[std::size_t(n.y()) * m_width + n.x()];
                if (slot == 0 && isFill(n.x(), n.y())) {
                    slot = label;
                    stack.push_back(n);
                }
            }
        }
        component.box = QRect(QPoint(left, top), QPoint(right, bottom));
        return component;
    }

    const QImage& m_grey;
    int m_width;
    int m_height;
    std::vector<int32_t> m_labels;
    int m_threshold;
};

double outlineShare(const Labeller& labeller, const QRect& box, int label) {
    qint64 onOutline = 0;
    qint64 outline = 0;
    const auto count = [&](int x, int y) {
        ++outline;
        onOutline += labeller.labelAt(x, y) == label ? 1 : 0;
    };
    for (int x = box.left(); x <= box.right(); ++x) {
        count(x, box.top());
        count(x, box.bottom());
    }
    for (int y = box.top() + 1; y < box.bottom(); ++y) {
        count(box.left(), y);
        count(box.right(), y);
    }
    return outline > 0 ? double(onOutline) / double(outline) : 0.0;
}

qint64 lighterPixels(const QImage& grey, const QRect& box, int level) {
    qint64 count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        count += std::count_if(line + box.left(), line + box.right() + 1,
                               [level](uchar v) { return v >= level; });
    }
    return count;
}

// Light content becomes dark and the fill takes the page's level.
void turn(QImage& grey, const QRect& box, int fillLevel, int pageLevel) {
    const int span = std::max(1, 255 - fillLevel);
    for (int y = box.top(); y <= box.bottom(); ++y) {
        uchar* line = grey.scanLine(y);
        for (int x = box.left(); x <= box.right(); ++x) {
            line[x] = uchar(std::min(255, (255 - line[x]) * pageLevel / span));
        }
    }
}

} // namespace

std::vector<QRect> InvertedPanels::normalize(QImage& grey, int pageLevel, int pixelRatio) {
    std::vector<QRect> turned;
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return turned;
    }
    const int ratio = std::max(1, pixelRatio);
    const int minSide = kMinPanelSide * ratio;
    if (grey.width() < minSide || grey.height() < minSide ||
        qint64(grey.width()) * grey.height() > kMaxPixels) {
        return turned;
    }
    Labeller labeller(grey, pageLevel - kMinContrast);
    const std::vector<Component> components = labeller.label();
    std::vector<int> fillLevels;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const Component& c = components[i];
        const qint64 boxArea = qint64(c.box.width()) * c.box.height();
        if (c.box.width() < minSide || c.box.height() < minSide ||
            double(c.area) < kMinFillShare * double(boxArea) ||
            outlineShare(labeller, c.box, int(i) + 1) < kMinOutlineShare) {
            continue;
        }
        const int fillLevel = int(c.levelSum / c.area);
        if (lighterPixels(grey, c.box, fillLevel + kMinContrast) <
                qint64(kMinContentPixels) * ratio * ratio ||
            std::any_of(turned.begin(), turned.end(),
                        [&c](const QRect& other) { return other.intersects(c.box); })) {
            continue;
        }
        turned.push_back(c.box);
        fillLevels.push_back(fillLevel);
    }
    // Turned only once all are found, so none is judged on turned pixels.
    for (std::size_t i = 0; i < turned.size(); ++i) {
        turn(grey, turned[i], fillLevels[i], pageLevel);
    }
    return turned;
}

} // namespace quorvale
