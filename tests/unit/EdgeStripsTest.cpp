#include "recognition/EdgeStrips.h"

#include "support/GreyPage.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(EdgeStripsTest, ThinBandsOfAnotherSurfaceAtTheEdgesTakeTheLevelInside) {
    struct Case {
        const char* name;
        std::function<void(QPainter&)> draw;
        std::vector<QRect> cleared;
    };
    const auto fill = [](QPainter& p, QRect r, int level) {
        p.fillRect(r, QColor(level, level, level));
    };
    const std::vector<Case> cases = {
        {"title bar strip above a border line",
         [&](QPainter& p) {
             fill(p, QRect(0, 0, 200, 8), 90);
             fill(p, QRect(60, 4, 30, 4), 230); // the bottom of the title's glyphs
             fill(p, QRect(0, 8, 200, 1), 140);
         },
         {QRect(0, 0, 200, 8)}},
        {"desktop beside the window",
         [&](QPainter& p) { fill(p, QRect(194, 0, 6, 80), 40); },
         {QRect(194, 0, 6, 80)}},
        {"a selected row as tall as a line of text stays",
         [&](QPainter& p) { fill(p, QRect(0, 0, 200, 18), 90); },
         {}},
        {"text near the edge of a plain page stays",
         [&](QPainter& p) { fill(p, QRect(4, 2, 60, 9), 20); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey = test::greyPage({200, 80}, c.draw);
        const QImage before = grey;
        EXPECT_EQ(EdgeStrips::clear(grey, 250), c.cleared);
        for (const QRect& band : c.cleared) {
            EXPECT_EQ(grey.copy(band), [&] {
                QImage flat(band.size(), QImage::Format_Grayscale8);
                flat.fill(QColor(250, 250, 250));
                return flat;
            }());
        }
        if (c.cleared.empty()) {
            EXPECT_TRUE(grey == before);
        }
    }
}

TEST(EdgeStripsTest, TheSurfaceRoundAWindowsRoundedCornersGoesWithTheBand) {
    QImage grey = test::greyPage({200, 80}, [](QPainter& p) {
        p.fillRect(194, 0, 6, 80, QColor(40, 40, 40));
        p.fillRect(190, 76, 4, 4, QColor(40, 40, 40)); // below the corner's curve
        p.fillRect(180, 40, 8, 4, QColor(40, 40, 40)); // a mark inside the window
    });
    ASSERT_EQ(EdgeStrips::clear(grey, 250).size(), 1u);
    EXPECT_EQ(grey.constScanLine(78)[191], 250);
    EXPECT_EQ(grey.constScanLine(42)[182], 40);
}

} // namespace
} // namespace quorvale
