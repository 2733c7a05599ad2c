#include "recognition/ShadedBackgrounds.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

constexpr int kPage = 250;

int at(const QImage& grey, QPoint p) {
    return grey.constScanLine(p.y())[p.x()];
}

TEST(ShadedBackgroundsTest, FillsRiseToThePageAndInkStaysDark) {
    struct Case {
        const char* name;
        int fill;    // under the text
        int ink;     // the text
        int stroke;  // the text's stroke width
        bool lifted; // the fill reaches the page
    };
    const std::vector<Case> cases = {
        {"mid-grey selection", 208, 0, 2, true},
        {"tan selection", 190, 0, 2, true},
        {"a button that may hold lighter text", 120, 10, 2, false},
        {"grey text on the page", kPage, 120, 2, true},
        {"a stroke wider than the neighbourhood is ink", kPage, 60, 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage grey(120, 60, QImage::Format_Grayscale8);
        grey.fill(QColor(kPage, kPage, kPage));
        QPainter painter(&grey);
        painter.fillRect(0, 15, 120, 30, QColor(c.fill, c.fill, c.fill));
        for (int x = 20; x < 100; x += 20) {
            painter.fillRect(x, 22, c.stroke, 14, QColor(c.ink, c.ink, c.ink));
        }
        painter.end();
        const QImage before = grey;
        ShadedBackgrounds::flatten(grey, kPage);
        EXPECT_NEAR(at(grey, {110, 30}), c.lifted ? kPage : c.fill, 2);
        EXPECT_LE(at(grey, {21, 30}), c.ink * kPage / c.fill + 1); // as dark against its fill
        EXPECT_EQ(at(grey, {5, 5}), kPage);
        if (c.fill == kPage) {
            EXPECT_TRUE(grey == before);
        }
    }
}

TEST(ShadedBackgroundsTest, AGradientBecomesOnePage) {
    QImage grey(200, 40, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            grey.scanLine(y)[x] = uchar(kPage - x / 4);
        }
    }
    grey.scanLine(20)[150] = 30; // a dot of ink
    ShadedBackgrounds::flatten(grey, kPage);
    for (const QPoint p : {QPoint(10, 5), QPoint(100, 30), QPoint(190, 10)}) {
        EXPECT_GE(at(grey, p), kPage - 4) << p.x();
    }
    EXPECT_LT(at(grey, {150, 20}), 40);
}

} // namespace
} // namespace quorvale
