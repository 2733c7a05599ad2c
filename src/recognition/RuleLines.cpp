#include "recognition/RuleLines.h"

#include <algorithm>

namespace quorvale {
namespace {

// Rows of a grey image, or its columns when transposed, so that one pass finds both.
class Lines {
public:
    Lines(QImage& grey, bool transposed)
        : m_grey(grey)
        , m_transposed(transposed) {}
    int length() const { return m_transposed ? m_grey.height() : m_grey.width(); }
    int count() const { return m_transposed ? m_grey.width() : m_grey.height(); }
    uchar& at(int along, int across) {
        return m_transposed ? m_grey.scanLine(along)[across] : m_grey.scanLine(across)[along];
    }
    QRect rect(int from, int to, int first, int thickness) const {
        return m_transposed ? QRect(first, from, thickness, to - from + 1)
                            : QRect(from, first, to - from + 1, thickness);
    }

private:
    QImage& m_grey;
    bool m_transposed;
};

// Thickness of the rule starting at `across`, or 0: a band darker than what touches it on
// both sides (one side at the picture's edge, where a window border is cut off).
int bandAt(Lines& lines, int along, int across, int maxThickness) {
    for (int t = 1; t <= maxThickness && across + t <= lines.count(); ++t) {
        int darkest = 0;
        for (int k = 0; k < t; ++k) {
            darkest = std::max(darkest, int(lines.at(along, across + k)));
        }
        const int before = across > 0 ? lines.at(along, across - 1) : -1;
        const int after = across + t < lines.count() ? lines.at(along, across + t) : -1;
        if (before < 0 && after < 0) {
            return 0;
        }
        const int sideMin = std::min(before < 0 ? after : before, after < 0 ? before : after);
        const int sideMax = std::max(before, after);
        // A frame's drop shadow darkens one side.
        if (darkest + RuleLines::kMinContrast / 2 <= sideMin &&
            darkest + RuleLines::kMinContrast <= sideMax) {
            return t;
        }
    }
    return 0;
}

struct Run {
    int across = 0;
    int from = 0;
    int last = 0;
    int marked = 0;
    int length() const { return last - from + 1; }
};

// Runs of thin dark bands along each line, bridging gaps where a glyph crosses a rule;
// `thickness` keeps each band's thickness, line by line.
std::vector<Run> runsAlong(Lines& lines, int maxThickness, int gap, std::vector<uchar>& thickness) {
    std::vector<Run> runs;
    const int length = lines.length();
    thickness.assign(std::size_t(length) * lines.count(), 0);
    for (int across = 0; across < lines.count(); ++across) {
        uchar* bands = thickness.data() + std::size_t(across) * length;
        for (int along = 0; along < length; ++along) {
            bands[along] = uchar(bandAt(lines, along, across, maxThickness));
        }
        int along = 0;
        while (along < length) {
            if (bands[along] == 0) {
                ++along;
                continue;
            }
            Run run{across, along, along, 0};
            while (along < length && along - run.last <= gap) {
                if (bands[along] > 0) {
                    run.last = along;
                    ++run.marked;
                } else if (lines.at(along, across) >=
                           lines.at(run.last, across) + RuleLines::kMinContrast) {
                    // The page shows through: the rule has ended, whatever lies beyond is
                    // the next line's glyph in the same column.
                    break;
                }
                ++along;
            }
            runs.push_back(run);
        }
    }
    return runs;
}

void eraseRuns(Lines& lines, const std::vector<Run>& runs, const std::vector<uchar>& thickness,
               int minLength, std::vector<QRect>& erased) {
    for (const Run& run : runs) {
        if (run.length() < minLength || run.marked * 4 < run.length() * 3) {
            continue;
        }
        const uchar* bands = thickness.data() + std::size_t(run.across) * lines.length();
        int widest = 0;
        for (int a = run.from; a <= run.last; ++a) {
            const int t = bands[a];
            if (t == 0) {
                continue;
            }
            widest = std::max(widest, t);
            const int before = run.across > 0 ? lines.at(a, run.across - 1) : -1;
            const int after = run.across + t < lines.count() ? lines.at(a, run.across + t) : -1;
            const uchar fill = uchar(std::max(before, after));
            for (int k = 0; k < t; ++k) {
                lines.at(a, run.across + k) = fill;
            }
        }
        erased.push_back(lines.rect(run.from, run.last, run.across, widest));
    }
}

// Length of the tall thin vertical strokes (the ninetieth percentile): the ascenders of
// the page's letters, which rules must be well beyond whatever the picture's scale.
int stemLength(const std::vector<Run>& columns) {
    std::vector<int> lengths;
    for (const Run& run : columns) {
        if (run.length() >= 3) {
            lengths.push_back(run.length());
        }
    }
    if (lengths.empty()) {
        return 0;
    }
    const auto middle = lengths.begin() + lengths.size() * 9 / 10;
    std::nth_element(lengths.begin(), middle, lengths.end());
    return *middle;
}

} // namespace

std::vector<QRect> RuleLines::erase(QImage& grey, int pixelRatio) {
    std::vector<QRect> erased;
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) {
        return erased;
    }
    const int ratio = std::max(1, pixelRatio);
    // Anti-aliased rules at odd positions of scaled screens spread over one more pixel.
    const int thickest = kMaxThickness * ratio + (ratio > 1 ? 1 : 0);
    Lines rows(grey, false);
    Lines columns(grey, true);
    std::vector<uchar> thickness;
    std::vector<Run> runs = runsAlong(columns, thickest, kMaxGap * ratio, thickness);
    const int stem = stemLength(runs);
    // Columns first: rules found on the page as it was, and a rule's pixels are only erased
    // once.
    eraseRuns(columns, runs, thickness, std::max(kMinVertical * ratio, kStemsPerVertical * stem),
              erased);
    runs = runsAlong(rows, thickest, kMaxGap * ratio, thickness);
    eraseRuns(rows, runs, thickness, std::max(kMinHorizontal * ratio, kStemsPerHorizontal * stem),
              erased);
    return erased;
}

} // namespace quorvale
