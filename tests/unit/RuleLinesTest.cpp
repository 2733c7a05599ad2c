#include "recognition/RuleLines.h"

#include "recognition/BoxEnds.h"
#include "support/GreyPage.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kInk = 20;

void fill(QPainter& p, QRect r, int level) {
    p.fillRect(r, QColor(level, level, level));
}

// Blocks where the glyphs of a word would be, each with a one-pixel bar like a "T".
void word(QPainter& p, QPoint origin, int scale = 1) {
    for (int i = 0; i < 5; ++i) {
        fill(p, QRect(origin.x() + i * 8 * scale, origin.y(), 6 * scale, scale), kInk);
        fill(p, QRect(origin.x() + i * 8 * scale + 2 * scale, origin.y(), 2 * scale, 10 * scale),
             kInk);
    }
}

int darkPixels(const QImage& grey, QRect area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += grey.constScanLine(y)[x] < 128 ? 1 : 0;
        }
    }
    return count;
}

TEST(RuleLinesTest, RulesGoAndGlyphsStay) {
    struct Case {
        const char* name;
        int scale;
        std::vector<QPoint> words;
        std::function<void(QPainter&)> chrome;
        std::size_t rules; // erased; with none the chrome stays
    };
    const std::vector<Case> cases = {
        {"word in a box",
         1,
         {{20, 20}},
         [](QPainter& p) {
             p.setPen(QColor(kInk, kInk, kInk));
             p.drawRect(10, 10, 120, 30);
         },
         4},
        {"grey grid of a table",
         1,
         {{12, 14}, {102, 39}},
         [](QPainter& p) {
             for (int y : {5, 30, 55}) {
                 fill(p, QRect(5, y, 181, 1), 192);
             }
             for (int x : {5, 95, 185}) {
                 fill(p, QRect(x, 5, 1, 51), 192);
             }
         },
         6},
        {"rule running on past the line",
         1,
         {{10, 10}},
         [](QPainter& p) { fill(p, QRect(10, 23, 170, 1), kInk); },
         1},
        {"separator of a status bar",
         1,
         {{10, 10}, {70, 10}},
         [](QPainter& p) { fill(p, QRect(60, 4, 1, 22), 160); },
         1},
        {"two-pixel border at the picture's edge",
         2,
         {{20, 20}},
         [](QPainter& p) { fill(p, QRect(0, 0, 200, 2), kInk); },
         1},
        {"underscores, a bar glyph and a thick bar",
         1,
         {{10, 10}},
         [](QPainter& p) {
             fill(p, QRect(10, 23, 30, 1), kInk); // "____" under code
             fill(p, QRect(60, 8, 1, 15), kInk);  // "|"
             fill(p, QRect(10, 40, 180, 6), 120); // a bar
         },
         0},
        {"stems in one column of a terminal, line after line",
         1,
         {},
         [](QPainter& p) {
             for (int y = 2; y < 52; y += 13) {
                 fill(p, QRect(100, y, 1, 10), kInk);
             }
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A line of text below the chrome: rules are told from its letters' stems.
        const auto words = [&c](QPainter& p) {
            for (const QPoint& origin : c.words) {
                word(p, origin, c.scale);
            }
            for (int x = 10; x + 40 * c.scale <= 200; x += 45 * c.scale) {
                word(p, {x, 57 * c.scale}, c.scale);
            }
        };
        const QImage wordsOnly = test::greyPage({200, 70 * c.scale}, words);
        const QImage before = test::greyPage(wordsOnly.size(), [&](QPainter& p) {
            c.chrome(p);
            words(p);
        });
        QImage after = before;
        EXPECT_EQ(RuleLines::erase(after, c.scale).size(), c.rules);
        EXPECT_TRUE(after == (c.rules > 0 ? wordsOnly : before));
    }
}

TEST(RuleLinesTest, GlyphsCrossingAnUnderlineKeepTheirStrokes) {
    QImage grey = test::greyPage({200, 40}, [](QPainter& p) {
        word(p, {10, 5});
        fill(p, QRect(5, 12, 190, 1), kInk); // the underline, through the stems
    });
    ASSERT_EQ(RuleLines::erase(grey).size(), 1u);
    EXPECT_EQ(darkPixels(grey, QRect(5, 12, 190, 1)), 5 * 2); // the stems' crossings
    EXPECT_EQ(darkPixels(grey, QRect(0, 0, 200, 12)), 5 * (6 + 2 * 6));
}

TEST(RuleLinesTest, AFrameEdgeGoesBesideItsDropShadow) {
    QImage grey = test::greyPage({200, 70}, [](QPainter& p) {
        fill(p, QRect(0, 0, 60, 70), 200); // the shadow, outside the window
        fill(p, QRect(60, 0, 2, 70), 170);
        for (int x : {70, 115, 160}) {
            word(p, {x, 20}); // stems for the rule to outgrow
        }
    });
    ASSERT_EQ(RuleLines::erase(grey).size(), 1u);
    EXPECT_GE(grey.constScanLine(30)[61], 200);
}

TEST(RuleLinesTest, BoxEndsGoWithTheBoxAndWordsBesideItStay) {
    struct Case {
        const char* name;
        std::function<void(QPainter&)> draw;
        int endInk; // dark pixels left beyond the words' columns
    };
    const std::vector<Case> cases = {
        {"a rounded button",
         [](QPainter& p) {
             fill(p, {40, 20, 81, 1}, kInk), fill(p, {40, 39, 81, 1}, kInk);
             for (const int x : {34, 125}) { // its ends, as "(" and ")"
                 fill(p, {x, 23, 1, 14}, kInk), fill(p, {std::min(x + 1, 123), 21, 3, 2}, kInk);
                 fill(p, {std::min(x + 1, 123), 37, 3, 2}, kInk);
             }
         },
         0},
        {"an underline with a word before it",
         [](QPainter& p) {
             fill(p, {40, 40, 80, 1}, kInk), fill(p, {32, 30, 6, 10}, kInk);
         },
         60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey = test::greyPage({160, 60}, [&](QPainter& p) { c.draw(p), word(p, {44, 26}); });
        BoxEnds::clear(grey, RuleLines::erase(grey));
        EXPECT_EQ(darkPixels(grey, {25, 15, 14, 30}) + darkPixels(grey, {122, 15, 14, 30}),
                  c.endInk);
        EXPECT_GT(darkPixels(grey, {44, 26, 40, 10}), 40);
    }
}

} // namespace
} // namespace quorvale
