#include "recognition/SolidMarks.h"

#include "support/GreyPage.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kPage = 250;

void fill(QPainter& p, QRect r, int level) {
    p.fillRect(r, QColor(level, level, level));
}

TEST(SolidMarksTest, FilledBlocksGoAndGlyphsStay) {
    struct Case {
        const char* name;
        std::function<void(QPainter&)> draw;
        bool cleared;
    };
    const std::vector<Case> cases = {
        {"ticked checkbox",
         [](QPainter& p) {
             fill(p, QRect(10, 10, 16, 16), 120);
             p.setPen(QPen(QColor(0, 0, 0), 2));
             p.drawLine(13, 18, 17, 22);
             p.drawLine(17, 22, 23, 13);
         },
         true},
        {"solid icon", [](QPainter& p) { fill(p, QRect(10, 10, 24, 20), 60); }, true},
        {"bold E",
         [](QPainter& p) {
             fill(p, QRect(10, 10, 2, 10), 20);
             for (int y : {10, 14, 18}) {
                 fill(p, QRect(10, y, 8, 2), 20);
             }
         },
         false},
        {"bullet", [](QPainter& p) { fill(p, QRect(10, 10, 5, 5), 20); }, false},
        {"bar", [](QPainter& p) { fill(p, QRect(10, 10, 120, 10), 20); }, false},
        {"outlined box",
         [](QPainter& p) {
             p.setPen(QColor(20, 20, 20));
             p.drawRect(10, 10, 16, 16);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey = test::greyPage({160, 40}, c.draw, kPage);
        const QImage before = grey.copy();
        const auto cleared = SolidMarks::clear(grey, kPage);
        EXPECT_EQ(cleared.size(), c.cleared ? 1u : 0u);
        EXPECT_TRUE(grey == (c.cleared ? test::greyPage(
                                             {160, 40}, [](QPainter&) {}, kPage)
                                       : before));
    }
}

} // namespace
} // namespace quorvale
