#include "recognition/PageSplit.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace quorvale {
namespace {

constexpr int kPage = 250;
constexpr int kWidth = 1200;

// Rows of "text": each entry is a band of ink (top, height, width).
struct Ink {
    int top;
    int height;
    int width = kWidth - 40;
};

QImage page(const std::vector<Ink>& bands, int height = 400) {
    QImage image(kWidth, height, QImage::Format_Grayscale8);
    image.fill(QColor(kPage, kPage, kPage));
    QPainter painter(&image);
    for (const Ink& band : bands) {
        painter.fillRect(20, band.top, band.width, band.height, QColor(30, 30, 30));
    }
    return image;
}

TEST(PageSplitTest, CutsInTheGapThatBalancesTheReading) {
    struct Case {
        const char* name;
        std::vector<Ink> bands;
        std::optional<std::pair<int, int>> cutWithin; // rows the cut must fall between
    };
    const std::vector<Case> cases = {
        {"one line", {{20, 30}}, std::nullopt},
        {"two lines", {{20, 30}, {70, 30}}, std::pair{50, 70}},
        {"four lines: between the second and third",
         {{20, 30}, {70, 30}, {120, 30}, {170, 30}},
         std::pair{100, 120}},
        {"a long line and three short ones",
         {{20, 30}, {70, 30, 300}, {120, 30, 300}, {170, 30, 300}},
         std::pair{50, 70}},
        {"lines touching: no gap to cut", {{20, 30}, {50, 30}, {80, 30}}, std::nullopt},
        {"too little text for a second engine", {{20, 30, 300}, {70, 30, 300}}, std::nullopt},
        {"underscores are never cut from their line",
         {{20, 30}, {54, 3}, {70, 30}, {104, 3}, {120, 30}, {170, 30}, {220, 30}},
         std::pair{150, 170}},
        {"dots above are never cut from their line",
         {{20, 30}, {70, 4}, {78, 30}, {128, 30}},
         std::pair{108, 128}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto cut = PageSplit::balancedCut(page(c.bands), kPage);
        ASSERT_EQ(cut.has_value(), c.cutWithin.has_value());
        if (cut) {
            EXPECT_GE(*cut, c.cutWithin->first);
            EXPECT_LT(*cut, c.cutWithin->second);
        }
    }
}

} // namespace
} // namespace quorvale
