#include "recognition/InvertedPanels.h"

#include "support/GreyPage.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kPage = 250;

using test::greyPage;

// Blocks where the glyphs of a word would be.
void word(QPainter& painter, QPoint origin, int level, int glyphs = 6) {
    for (int i = 0; i < glyphs; ++i) {
        painter.fillRect(origin.x() + i * 7, origin.y(), 4, 9, QColor(level, level, level));
    }
}

int at(const QImage& grey, QPoint p) {
    return grey.constScanLine(p.y())[p.x()];
}

TEST(InvertedPanelsTest, PanelsEndWithDarkTextOnThePageLevel) {
    struct Case {
        const char* name;
        QRect panel;
        std::function<void(QPainter&)> draw; // glyphs at (6, 26) on the panel
    };
    const std::vector<Case> cases = {
        {"light text on a dark bar",
         {0, 20, 200, 22},
         [](QPainter& p) {
             p.fillRect(0, 20, 200, 22, QColor(70, 70, 70));
             word(p, {6, 26}, 255);
         }},
        {"dark text on a mid-grey highlight",
         {0, 20, 200, 22},
         [](QPainter& p) {
             p.fillRect(0, 20, 200, 22, QColor(110, 110, 110));
             word(p, {6, 26}, 0);
         }},
        {"light text on a button with rounded corners",
         {0, 20, 200, 22},
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(60, 60, 60));
             p.drawRoundedRect(QRect(0, 20, 200, 22), 5, 5);
             word(p, {6, 26}, 255);
         }},
        {"light text on a dialog's body round a framed box",
         {0, 20, 200, 46},
         [](QPainter& p) {
             p.fillRect(0, 20, 200, 46, QColor(0, 0, 0));
             p.setPen(QColor(255, 255, 255));
             p.drawRect(40, 24, 150, 38);
             word(p, {6, 26}, 255);
             word(p, {50, 30}, 255);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey = greyPage({200, 70}, [&](QPainter& p) {
            word(p, {6, 5}, 30);
            c.draw(p);
        });
        ASSERT_EQ(InvertedPanels::normalize(grey, kPage), std::vector<QRect>{c.panel});
        EXPECT_NEAR(at(grey, {c.panel.right() - 2, 40}), kPage, 2); // the fill
        EXPECT_LT(at(grey, {7, 30}), 10);                           // a glyph on it
        EXPECT_EQ(at(grey, {7, 8}), 30);                            // page text untouched
        EXPECT_EQ(at(grey, {150, 68}), kPage);
    }
}

TEST(InvertedPanelsTest, ShapesThatAreNotPanelsAreLeftAlone) {
    struct Case {
        const char* name;
        std::function<void(QPainter&)> draw;
    };
    const QColor ink(20, 20, 20);
    const std::vector<Case> cases = {
        {"dark text in an outlined field",
         [&](QPainter& p) {
             p.setPen(ink);
             p.drawRect(10, 10, 150, 24);
             word(p, {16, 17}, 20);
         }},
        {"big bold letter E",
         [&](QPainter& p) {
             p.fillRect(20, 10, 12, 50, ink);
             for (int y : {10, 29, 48}) {
                 p.fillRect(20, y, 36, 12, ink);
             }
         }},
        {"toolbar and sidebar in an L around page text",
         [&](QPainter& p) {
             p.fillRect(0, 0, 200, 14, ink);
             p.fillRect(0, 0, 30, 70, ink);
             word(p, {40, 30}, 20);
             word(p, {120, 3}, 255, 3);
         }},
        {"ticked checkbox with rounded corners",
         [&](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(ink);
             p.drawRoundedRect(QRect(20, 20, 16, 16), 3, 3);
             p.setPen(QPen(QColor(255, 255, 255), 2));
             p.drawLine(23, 28, 27, 32);
             p.drawLine(27, 32, 33, 23);
         }},
        {"dark bar with nothing on it", [&](QPainter& p) { p.fillRect(0, 20, 200, 22, ink); }},
        {"bar only slightly darker than the page",
         [&](QPainter& p) {
             p.fillRect(0, 20, 200, 22, QColor(200, 200, 200));
             word(p, {6, 26}, 255);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey = greyPage({200, 70}, c.draw);
        const QImage before = grey.copy();
        EXPECT_TRUE(InvertedPanels::normalize(grey, kPage).empty());
        EXPECT_EQ(grey, before);
    }
}

TEST(InvertedPanelsTest, PanelSizeCountsInDevicePixels) {
    // A 2x bar's glyph-sized fill is not a panel at 2x, and its content must be bigger.
    const QImage small = greyPage({200, 70}, [](QPainter& p) {
        p.fillRect(0, 20, 200, 14, QColor(60, 60, 60));
        word(p, {6, 23}, 255, 12);
    });
    QImage at1x = small, at2x = small;
    EXPECT_EQ(InvertedPanels::normalize(at1x, kPage).size(), 1u);
    EXPECT_TRUE(InvertedPanels::normalize(at2x, kPage, 2).empty());
}

} // namespace
} // namespace quorvale
