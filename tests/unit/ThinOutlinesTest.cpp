#include "recognition/ThinOutlines.h"

#include "support/GreyPage.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kPage = 250;
const QSize kSize(120, 60);

// Four strokes of a letter's height, a word for the stage.
void word(QPainter& p) {
    for (int x : {20, 28, 36, 44}) {
        p.fillRect(QRect(x, 12, 2, 10), QColor(20, 20, 20));
    }
}

TEST(ThinOutlinesTest, OutlinesRoundWordsGoAndGlyphsStay) {
    struct Case {
        const char* name;
        std::function<void(QPainter&)> chrome;
        bool cleared;
    };
    const std::vector<Case> cases = {
        {"rounded button", [](QPainter& p) { p.drawRoundedRect(12, 5, 42, 24, 11, 11); }, true},
        {"boxed word", [](QPainter& p) { p.drawRect(14, 7, 38, 20); }, true},
        {"plain word", [](QPainter&) {}, false},
        {"parentheses",
         [](QPainter& p) {
             p.drawArc(12, 8, 12, 18, 90 * 16, 180 * 16);
             p.drawArc(44, 8, 12, 18, -90 * 16, 180 * 16);
         },
         false},
        {"letter O", [](QPainter& p) { p.drawEllipse(70, 10, 12, 14); }, false},
        {"box round one glyph", [](QPainter& p) { p.drawRect(40, 8, 22, 18); }, false},
        {"panel", [](QPainter& p) { p.drawRect(4, 2, 100, 40); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey = test::greyPage(
            kSize,
            [&](QPainter& p) {
                word(p);
                p.setPen(QColor(40, 40, 40));
                c.chrome(p);
            },
            kPage);
        const QImage before = grey.copy();
        EXPECT_EQ(ThinOutlines::clear(grey, kPage).size(), c.cleared ? 1u : 0u);
        EXPECT_TRUE(grey == (c.cleared ? test::greyPage(kSize, word, kPage) : before));
    }
}

} // namespace
} // namespace quorvale
