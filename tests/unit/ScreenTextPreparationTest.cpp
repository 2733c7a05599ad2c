#include "recognition/ScreenTextPreparation.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

using Prep = ScreenTextPreparation;

const QRect kInk(20, 12, 30, 8);

// A page with one block of "ink" where text would be.
QImage page(QColor background, QColor ink, QSize size = {80, 32},
            QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(background);
    QPainter(&image).fillRect(kInk, ink);
    return image;
}

int levelAt(const Prep::Prepared& prepared, QPointF inputPoint) {
    const QPoint p =
        (inputPoint * prepared.scale).toPoint() + QPoint(prepared.padding, prepared.padding);
    return prepared.image.constScanLine(p.y())[p.x()];
}

TEST(ScreenTextPreparationTest, TextEndsUpDarkOnALightPageWhateverTheTheme) {
    struct Case {
        const char* name;
        QColor background;
        QColor ink;
    };
    const std::vector<Case> cases = {
        {"light", QColor("#fafafa"), QColor("#202020")},
        {"dark", QColor("#1e1e1e"), QColor("#e0e0e0")},
        {"light colour", QColor("#e8f0fe"), QColor("#174ea6")},
        {"dark colour", QColor("#3a0d4f"), QColor("#f5d0ff")},
        {"black", QColor(Qt::black), QColor(Qt::white)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto prepared = Prep::prepare(page(c.background, c.ink));
        ASSERT_EQ(prepared.image.format(), QImage::Format_Grayscale8);
        EXPECT_GT(levelAt(prepared, {5, 5}), 180);
        EXPECT_LT(levelAt(prepared, QRectF(kInk).center()), 90);
        // The padding continues the page.
        EXPECT_NEAR(prepared.image.constScanLine(0)[0], levelAt(prepared, {5, 5}), 1);
    }
}

TEST(ScreenTextPreparationTest, BackgroundIsTheCommonBorderColourNotTheInk) {
    // Ink touching the edges must not outvote the page.
    QImage image = page(QColor("#1c1c1c"), QColor("#e0e0e0"));
    QPainter(&image).fillRect(0, 0, 30, 3, QColor("#e0e0e0"));
    EXPECT_EQ(Prep::backgroundColor(image), QColor("#1c1c1c").rgb());

    // Slight noise in the page still counts as one colour.
    QImage noisy = page(QColor(200, 200, 200), Qt::black);
    noisy.setPixel(0, 0, qRgb(203, 201, 199));
    noisy.setPixel(5, 0, qRgb(197, 199, 202));
    EXPECT_LT(qAbs(qRed(Prep::backgroundColor(noisy)) - 200), 4);

    // A window captured with its 1-px outline: the outline is not the page.
    QImage framed = page(QColor("#f6f5f4"), QColor("#303030"));
    QPainter painter(&framed);
    painter.setPen(QColor("#202020"));
    painter.drawRect(framed.rect().adjusted(0, 0, -1, -1));
    painter.end();
    EXPECT_EQ(Prep::backgroundColor(framed), QColor("#f6f5f4").rgb());
}

// A selection dragged a few pixels past a window onto the desktop: a thin band of desktop
// on three sides is not the page, a wide one is.
TEST(ScreenTextPreparationTest, AThinBandOfDesktopRoundAWindowIsNotThePage) {
    const struct {
        const char* name;
        QColor window;
        QColor desktop;
        QMargins band;
        QColor expected;
    } cases[] = {
        {"light window, black desktop",
         QColor("#f6f5f4"),
         Qt::black,
         {6, 0, 6, 6},
         QColor("#f6f5f4")},
        {"all round", QColor("#f6f5f4"), QColor("#282c34"), {7, 7, 7, 7}, QColor("#f6f5f4")},
        {"dark window, light desktop",
         QColor("#1e1e1e"),
         QColor("#e0e0e0"),
         {6, 6, 6, 0},
         QColor("#1e1e1e")},
        {"a wide margin is the page",
         QColor("#f6f5f4"),
         QColor("#4e6b3a"),
         {24, 24, 24, 24},
         QColor("#4e6b3a")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage window =
            page(c.window, c.window == QColor("#1e1e1e") ? Qt::white : Qt::black, {160, 60});
        QImage selection(window.size().grownBy(c.band), QImage::Format_RGB32);
        selection.fill(c.desktop);
        QPainter(&selection).drawImage(c.band.left(), c.band.top(), window);
        EXPECT_EQ(Prep::backgroundColor(selection), c.expected.rgb());
    }
}

TEST(ScreenTextPreparationTest, TransparentPagesAreFilledToShowTheirContent) {
    struct Case {
        const char* name;
        QColor ink;
        QRgb expectedBackground;
    };
    const std::vector<Case> cases = {
        {"dark ink", QColor(Qt::black), qRgb(255, 255, 255)},
        {"light ink", QColor(Qt::white), qRgb(0, 0, 0)},
        {"nothing at all", QColor(Qt::transparent), qRgb(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image =
            page(Qt::transparent, c.ink, {80, 32}, QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(Prep::backgroundColor(image), c.expectedBackground);
        const auto prepared = Prep::prepare(image);
        EXPECT_GT(levelAt(prepared, {5, 5}), 180);
        if (c.ink.alpha() > 0) {
            EXPECT_LT(levelAt(prepared, QRectF(kInk).center()), 90);
        }
    }
}

TEST(ScreenTextPreparationTest, TransparentCornersTakeThePageColour) {
    QImage window = page(QColor("#f0f0f0"), QColor("#202020"), {80, 32}, QImage::Format_ARGB32);
    for (const QPoint corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 31), QPoint(79, 31)}) {
        window.setPixelColor(corner, Qt::transparent);
    }
    EXPECT_EQ(Prep::backgroundColor(window), QColor("#f0f0f0").rgb());
    const QImage flat = Prep::flattened(window, Prep::backgroundColor(window));
    EXPECT_FALSE(flat.hasAlphaChannel());
    EXPECT_EQ(flat.pixel(0, 0), QColor("#f0f0f0").rgb());
    EXPECT_EQ(flat.pixel(kInk.center()), QColor("#202020").rgb());

    // Half-covered pixels blend with the page, not with black.
    QImage half(4, 4, QImage::Format_ARGB32);
    half.fill(qRgba(0, 0, 0, 128));
    const QRgb blended = Prep::flattened(half, qRgb(255, 255, 255)).pixel(1, 1);
    EXPECT_NEAR(qRed(blended), 127, 2);
}

TEST(ScreenTextPreparationTest, OnlySmallPixelsOfOrdinaryImagesAreEnlarged) {
    struct Case {
        const char* name;
        QSize size;
        qreal devicePixelRatio;
        bool upscaled;
    };
    const std::vector<Case> cases = {
        {"1x capture", {200, 50}, 1.0, true},
        {"HiDPI capture", {200, 50}, 2.0, false},
        {"fractional HiDPI", {200, 50}, 1.5, false},
        {"25 megapixels when doubled", {2500, 2500}, 1.0, true},
        {"past 25 megapixels", {2501, 2500}, 1.0, false},
        {"tall strip within the side limit", {1, 16000}, 1.0, true},
        {"tall strip past the side limit", {1, 16376}, 1.0, false},
        {"1x1", {1, 1}, 1.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(c.size, QImage::Format_RGB32);
        image.setDevicePixelRatio(c.devicePixelRatio);
        EXPECT_EQ(Prep::shouldUpscale(image), c.upscaled);
    }
}

TEST(ScreenTextPreparationTest, PreparedImageIsScaledPaddedAndMapsBack) {
    for (const qreal ratio : {1.0, 2.0}) {
        QImage image = page(Qt::white, Qt::black);
        image.setDevicePixelRatio(ratio);
        const auto prepared = Prep::prepare(image);
        const int scale = ratio == 1.0 ? 2 : 1;
        EXPECT_EQ(prepared.scale, scale);
        EXPECT_EQ(prepared.image.size(), image.size() * scale + QSize(2, 2) * Prep::kPadding);
        QRect ink;
        for (int y = 0; y < prepared.image.height(); ++y) {
            for (int x = 0; x < prepared.image.width(); ++x) {
                if (prepared.image.constScanLine(y)[x] < 128) {
                    ink |= QRect(x, y, 1, 1);
                }
            }
        }
        const QRectF back = prepared.toInput(QRectF(ink));
        EXPECT_NEAR(back.left(), kInk.left(), 1.0);
        EXPECT_NEAR(back.top(), kInk.top(), 1.0);
        EXPECT_NEAR(back.width(), kInk.width(), 1.0);
        EXPECT_NEAR(back.height(), kInk.height(), 1.0);
    }
}

TEST(ScreenTextPreparationTest, EnlargingKeepsFlatLevelsAndCentresEdges) {
    for (const int level : {0, 37, 255}) {
        QImage flat(5, 3, QImage::Format_Grayscale8);
        flat.fill(qRgb(level, level, level));
        const QImage big = Prep::enlarged(flat);
        ASSERT_EQ(big.size(), flat.size() * Prep::kUpscaleFactor);
        for (int y = 0; y < big.height(); ++y) {
            for (int x = 0; x < big.width(); ++x) {
                ASSERT_EQ(big.constScanLine(y)[x], level) << x << "," << y;
            }
        }
    }
    QImage step(8, 1, QImage::Format_Grayscale8);
    for (int x = 0; x < step.width(); ++x) {
        step.scanLine(0)[x] = x < 4 ? 0 : 255;
    }
    const QImage enlargedStep = Prep::enlarged(step);
    const uchar* row = enlargedStep.constScanLine(0);
    // The edge between source pixels 3 and 4 lies between enlarged pixels 7 and 8.
    for (int d = 0; d < 4; ++d) {
        EXPECT_NEAR(row[7 - d] + row[8 + d], 255, 1) << d;
    }
}

} // namespace
} // namespace quorvale
