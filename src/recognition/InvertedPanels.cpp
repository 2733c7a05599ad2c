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

// How far a rounded corner of a button or bar bends away from its box, per pixel ratio;
// at most a sixth of the box's height, so that round glyphs ("o", "O") stay glyphs. Only
// wide boxes, that hold a line of text, are rounded: a checkbox turned shows its tick.
constexpr int kMaxCornerRadius = 8;
constexpr int kSidesPerCorner = 6;
constexpr int kMinRoundedAspect = 2;

int cornerOf(const QRect& box, int ratio) {
    if (box.width() < kMinRoundedAspect * box.height()) {
        return 0;
    }
    return std::min(kMaxCornerRadius * ratio, box.height() / kSidesPerCorner);
}

// Share of the box's outline, rounded corners left out, that belongs to the region.
double outlineShare(const Labeller& labeller, const QRect& box, int label, int corner) {
    qint64 onOutline = 0;
    qint64 outline = 0;
    const auto count = [&](int x, int y) {
        ++outline;
        onOutline += labeller.labelAt(x, y) == label ? 1 : 0;
    };
    for (int x = box.left() + corner; x <= box.right() - corner; ++x) {
        count(x, box.top());
        count(x, box.bottom());
    }
    for (int y = box.top() + std::max(1, corner); y <= box.bottom() - std::max(1, corner); ++y) {
        count(box.left(), y);
        count(box.right(), y);
    }
    return outline > 0 ? double(onOutline) / double(outline) : 0.0;
}

struct Content {
    qint64 fill = 0;    // pixels of the fill's level or darker, whatever region they belong to
    qint64 lighter = 0; // well above the fill
    qint64 darker = 0;  // well below it
};

Content contentOf(const QImage& grey, const QRect& box, int threshold, int fillLevel) {
    Content content;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = box.left(); x <= box.right(); ++x) {
            const int v = line[x];
            content.fill += v < threshold ? 1 : 0;
            content.lighter += v >= fillLevel + InvertedPanels::kMinContrast ? 1 : 0;
            content.darker += v + InvertedPanels::kMinContrast <= fillLevel ? 1 : 0;
        }
    }
    return content;
}

struct Panel {
    QRect box;
    int label = 0;
    int corner = 0;
    int fillLevel = 0;
    bool lightContent = true;
};

// Light content becomes dark and the fill takes the page's level; dark content on a fill
// (white text on a saturated highlight, seen inverted) keeps its polarity and only the fill
// is raised.
void normalizePanel(QImage& grey, const Labeller& labeller, const Panel& panel, int pageLevel) {
    const int span = std::max(1, panel.lightContent ? 255 - panel.fillLevel : panel.fillLevel);
    const QRect& box = panel.box;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        uchar* line = grey.scanLine(y);
        const bool cornerRow = y < box.top() + panel.corner || y > box.bottom() - panel.corner;
        for (int x = box.left(); x <= box.right(); ++x) {
            const bool inCorner =
                cornerRow && (x < box.left() + panel.corner || x > box.right() - panel.corner);
            if (inCorner && labeller.labelAt(x, y) != panel.label) {
                line[x] = uchar(pageLevel); // beyond the rounded corner
                continue;
            }
            const int v = panel.lightContent ? 255 - line[x] : line[x];
            line[x] = uchar(std::min(panel.lightContent ? 255 : pageLevel, v * pageLevel / span));
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
    const int threshold = pageLevel - kMinContrast;
    Labeller labeller(grey, threshold);
    const std::vector<Component> components = labeller.label();
    std::vector<Panel> panels;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const Component& c = components[i];
        const int corner = cornerOf(c.box, ratio);
        if (c.box.width() < minSide || c.box.height() < minSide ||
            outlineShare(labeller, c.box, int(i) + 1, corner) < kMinOutlineShare ||
            std::any_of(panels.begin(), panels.end(),
                        [&c](const Panel& other) { return other.box.intersects(c.box); })) {
            continue;
        }
        const int fillLevel = int(c.levelSum / c.area);
        const Content content = contentOf(grey, c.box, threshold, fillLevel);
        const qint64 boxArea = qint64(c.box.width()) * c.box.height();
        const qint64 minContent = qint64(kMinContentPixels) * ratio * ratio;
        // Fill pixels of panels nested inside count too: a dialog's body round a text box.
        if (double(content.fill) < kMinFillShare * double(boxArea) ||
            std::max(content.lighter, content.darker) < minContent) {
            continue;
        }
        panels.push_back({c.box, int(i) + 1, corner, fillLevel, content.lighter >= content.darker});
    }
    // Changed only once all are found, so none is judged on changed pixels.
    for (const Panel& panel : panels) {
        normalizePanel(grey, labeller, panel, pageLevel);
        turned.push_back(panel.box);
    }
    return turned;
}

} // namespace quorvale
