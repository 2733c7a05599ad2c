#pragma once

#include <QImage>
#include <QRect>
#include <vector>

namespace quorvale {

// A rounded button or field keeps its ends when its top and bottom rules are erased: arcs
// the engine reads as "(" and ")", or short sides it reads as "|". Where two erased rules
// of one length lie one box height apart and ink beyond their ends joins them, what lies
// there is painted with the box's fill.
class BoxEnds {
public:
    // Per pixel ratio: the box heights that hold one line of text.
    static constexpr int kMinHeight = 8;
    static constexpr int kMaxHeight = 40;
    // How far the two rules' ends may differ, per pixel ratio.
    static constexpr int kEndTolerance = 2;

    // `rules` are those RuleLines erased from `grey`. Returns the ends cleared.
    static std::vector<QRect> clear(QImage& grey, const std::vector<QRect>& rules,
                                    int pixelRatio = 1);
};

} // namespace quorvale
