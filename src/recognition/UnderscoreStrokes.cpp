#include "recognition/UnderscoreStrokes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorvale {
namespace {

// Below this contrast the page holds no readable strokes at all.
constexpr int kMinContrast = 40;

struct Levels {
    int page = 255;
    int threshold = 0;
};

// The page is the most common level around the line, the ink its darkest; a pixel
// counts as ink well before full darkness because resampling softens one-pixel strokes.
Levels levelsAround(const QImage& grey, const QRect& area) {
    std::array<int, 256> histogram{};
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            ++histogram[row[x]];
            darkest = std::min<int>(darkest, row[x]);
        }
    }
    Levels levels;
    levels.page = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
    levels.threshold =
        levels.page - darkest < kMinContrast ? -1 : levels.page - (levels.page - darkest) / 4;
    return levels;
}

struct Column {
    bool thin = false;
    int top = 0;
    int bottom = 0;
    bool inkAbove = false;
};

} // namespace

std::vector<QRect> UnderscoreStrokes::find(const QImage& grey, const Line& line) {
    std::vector<QRect> strokes;
    if (grey.format() != QImage::Format_Grayscale8 || line.pitch <= 0 || line.glyphHeight <= 0 ||
        line.box.isEmpty()) {
        return strokes;
    }
    const QRect image = grey.rect();
    const int reach = int(std::ceil(3 * line.pitch));
    const int zoneTop = line.baseline + 1;
    const int zoneBottom = std::min(
        {line.lowestRow, line.baseline + int(std::ceil(0.6 * line.glyphHeight)), image.bottom()});
    const int aboveTop = std::max(0, line.baseline - line.glyphHeight / 2);
    const int left = std::max(0, line.box.left() - reach);
    const int right = std::min(image.right(), line.box.right() + reach);
    if (zoneTop < 0 || zoneBottom - zoneTop < 2 || right <= left) {
        return strokes;
    }
    const Levels levels =
        levelsAround(grey, QRect(QPoint(left, aboveTop), QPoint(right, zoneBottom)));
    if (levels.threshold < 0) {
        return strokes;
    }
    const auto ink = [&](int x, int y) { return grey.constScanLine(y)[x] < levels.threshold; };
    const int maxThickness = std::max(2, int(std::lround(0.25 * line.glyphHeight)));

    // A column crosses an underscore when its first ink under the baseline is a short run
    // that does not hang down from a letter above.
    std::vector<Column> columns(right - left + 1);
    for (int x = left; x <= right; ++x) {
        Column& column = columns[x - left];
        for (int y = aboveTop; y <= line.baseline && !column.inkAbove; ++y) {
            column.inkAbove = ink(x, y);
        }
        int y = zoneTop;
        while (y <= zoneBottom && !ink(x, y)) {
            ++y;
        }
        if (y == zoneTop || y > zoneBottom) {
            continue;
        }
        column.top = y;
        while (y <= zoneBottom && ink(x, y)) {
            ++y;
        }
        column.bottom = y - 1;
        column.thin = y <= zoneBottom && column.bottom - column.top + 1 <= maxThickness;
    }

    // Runs of thin columns at one height; short breaks between neighbouring "_" glyphs
    // are bridged.
    const int maxBreak = std::max(1, int(0.15 * line.pitch));
    const int minLength = int(std::ceil(0.6 * line.pitch));
    const int underLetters = int(std::ceil(0.5 * line.pitch));
    const int flatness = std::max(1, maxThickness / 2);
    const auto runFrom = [&](std::size_t first, auto accepts) {
        std::size_t last = first;
        for (std::size_t j = first; j < columns.size() && j - last <= std::size_t(maxBreak); ++j) {
            if (accepts(columns[j])) {
                last = j;
            }
        }
        return last;
    };
    std::size_t i = 0;
    while (i < columns.size()) {
        if (!columns[i].thin) {
            ++i;
            continue;
        }
        const int height = columns[i].top;
        const auto flat = [&](const Column& c) {
            return c.thin && std::abs(c.top - height) <= flatness;
        };
        const std::size_t runEnd = runFrom(i, flat);
        // Within the run, the part with no letter above it is the character itself. A run
        // that goes on under letters on both sides is an underline.
        std::size_t k = i;
        while (k <= runEnd) {
            if (!flat(columns[k]) || columns[k].inkAbove) {
                ++k;
                continue;
            }
            const std::size_t last =
                runFrom(k, [&](const Column& c) { return flat(c) && !c.inkAbove; });
            const auto underInk = [&](std::size_t from, std::size_t to) {
                return std::count_if(columns.begin() + from, columns.begin() + to,
                                     [](const Column& c) { return c.thin && c.inkAbove; });
            };
            const bool underline =
                underInk(i, k) > underLetters && underInk(last + 1, runEnd + 1) > underLetters;
            if (int(last - k + 1) >= minLength && !underline) {
                int top = columns[k].top;
                int bottom = columns[k].bottom;
                for (std::size_t j = k; j <= last; ++j) {
                    if (flat(columns[j])) {
                        top = std::min(top, columns[j].top);
                        bottom = std::max(bottom, columns[j].bottom);
                    }
                }
                strokes.emplace_back(QPoint(left + int(k), top), QPoint(left + int(last), bottom));
            }
            k = last + 1;
        }
        i = runEnd + 1;
    }
    return strokes;
}

bool UnderscoreStrokes::inkUnder(const QImage& grey, const Line& line, int left, int right) {
    const QRect zone = QRect(QPoint(left, line.baseline + 1),
                             QPoint(right, line.baseline + int(std::ceil(0.5 * line.glyphHeight))))
                           .intersected(grey.rect());
    if (grey.format() != QImage::Format_Grayscale8 || zone.isEmpty()) {
        return true;
    }
    const Levels levels = levelsAround(grey, line.box.united(zone).intersected(grey.rect()));
    if (levels.threshold < 0) {
        return true;
    }
    for (int y = zone.top(); y <= zone.bottom(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = zone.left(); x <= zone.right(); ++x) {
            if (row[x] < levels.threshold) {
                return true;
            }
        }
    }
    return false;
}

int UnderscoreStrokes::count(const QRect& stroke, double pitch) {
    if (pitch <= 0) {
        return 1;
    }
    return std::max(1, int(std::lround(stroke.width() / pitch)));
}

} // namespace quorvale
