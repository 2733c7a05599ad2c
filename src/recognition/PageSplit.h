#pragma once

#include <QImage>
#include <optional>

namespace quorvale {

// Where a page can be cut between two lines of text so that two engines share the
// reading, each half about the same work.
class PageSplit {
public:
    // Reading work is counted in line lengths measured in line heights, which is what
    // the engine's time grows with. Less than this is read faster than a second engine
    // loads.
    static constexpr double kMinWork = 40.0;

    // `grey` is dark text on a light page of `pageLevel`. The row to cut at, or nothing
    // when there is too little text, no clear gap between lines, or no cut near the middle.
    static std::optional<int> balancedCut(const QImage& grey, int pageLevel,
                                          double minWork = kMinWork);
};

} // namespace quorvale
