#include "capture/CaptureGeometry.h"

#include <gtest/gtest.h>
#include <limits>

namespace quorvale {
namespace {

using platform::CaptureDisplay;
using platform::ScreenInfo;

ScreenInfo screen(QRectF appKitFrame) {
    return {0, appKitFrame, appKitFrame.toRect(), 1.0};
}

const std::vector<ScreenInfo> kLaptop{screen({0, 0, 1440, 900})};
const std::vector<CaptureDisplay> kRetina{{1, {0, 0, 1440, 900}, 2880, 1800}};
// Primary 1440x900; a second display right of it reaching 200 points above it.
const std::vector<ScreenInfo> kPair{screen({0, 0, 1440, 900}), screen({1440, -180, 1920, 1080})};
const std::vector<CaptureDisplay> kPairDisplays{{1, {0, 0, 1440, 900}, 1440, 900},
                                                {2, {1440, -200, 1920, 1080}, 1920, 1080}};
// Left of and above the primary: negative origins. A gap of 100 points at x 1920..2020.
const std::vector<ScreenInfo> kSpread{screen({0, 0, 1920, 1080}), screen({-1280, 500, 1280, 1024}),
                                      screen({2020, 0, 1000, 1080})};
const std::vector<CaptureDisplay> kSpreadDisplays{{1, {0, 0, 1920, 1080}, 1920, 1080},
                                                  {2, {-1280, -444, 1280, 1024}, 1280, 1024},
                                                  {3, {2020, 0, 1000, 1080}, 1500, 1620}};
const CaptureDisplay kZeroWidth{1, {0, 0, 0, 900}, 1440, 900};
const QRectF kSmall(100, 100, 50, 50);

TEST(CaptureGeometry, AreaPicksTheDisplayOfItsCentreClipsAndScales) {
    const QRectF kFractional(2100.5, 500, 100.7, 33.3);
    const struct {
        std::vector<ScreenInfo> screens;
        std::vector<CaptureDisplay> displays;
        QRectF rect; // AppKit
        std::size_t display;
        QRectF source;
        QSize pixels;
    } cases[] = {
        // The worked example.
        {kLaptop, kRetina, {100, 200, 300, 150}, 0, {100, 550, 300, 150}, {600, 300}},
        // On the second display: global (1500, 0, 400, 100) in CG is AppKit y = 900 - 100.
        {kPair, kPairDisplays, {1500, 800, 400, 100}, 1, {60, 200, 400, 100}, {400, 100}},
        // Across two displays: the centre's display, clipped.
        {kPair, kPairDisplays, {1340, 400, 300, 100}, 1, {0, 600, 200, 100}, {200, 100}},
        {kSpread, kSpreadDisplays, {-1200, 1400, 200, 100}, 1, {80, 24, 200, 100}, {200, 100}},
        // A fractional scale truncates.
        {kSpread, kSpreadDisplays, kFractional, 2, {80.5, 546.7, 100.7, 33.3}, {151, 49}},
        // A display frame of zero width is skipped.
        {kLaptop, {kZeroWidth, kPairDisplays[0]}, kSmall, 1, {100, 750, 50, 50}, {50, 50}},
    };
    for (const auto& c : cases) {
        const auto plan = CaptureGeometry::planArea(c.rect, c.screens, c.displays);
        const auto trace = ::testing::Message() << "area " << c.rect.x() << "," << c.rect.y();
        ASSERT_TRUE(plan.isSuccess()) << trace << ": " << plan.error().toStdString();
        EXPECT_EQ(plan.value().displayIndex, c.display) << trace;
        EXPECT_EQ(plan.value().sourceRect, c.source) << trace;
        EXPECT_EQ(QSize(plan.value().width, plan.value().height), c.pixels) << trace;
    }
}

TEST(CaptureGeometry, AreaWithoutAUsableScreenOrDisplayFails) {
    const struct {
        std::vector<ScreenInfo> screens;
        std::vector<CaptureDisplay> displays;
        QRectF rect;
        QString error;
    } cases[] = {
        {kSpread, kSpreadDisplays, {1900, 500, 140, 100}, CaptureGeometry::kNoDisplayForCenter},
        {{screen({10, 0, 800, 600})}, kRetina, kSmall, CaptureGeometry::kNoPrimaryScreen},
        {kLaptop, {{1, {0, 0, 1440, 900}, 0, 0}}, kSmall, CaptureGeometry::kInvalidSourceRect},
        {kLaptop, {}, kSmall, CaptureGeometry::kNoDisplayForCenter},
    };
    for (const auto& c : cases) {
        const auto plan = CaptureGeometry::planArea(c.rect, c.screens, c.displays);
        EXPECT_EQ(plan.isSuccess() ? QString() : plan.error(), c.error);
    }
}

TEST(CaptureGeometry, ConvertsWithThePrimaryHeightOnEveryDisplay) {
    // The same formula both ways; the secondary display's own height plays no part.
    const QRectF appKit(1500, 800, 400, 100);
    const QRectF cg = CaptureGeometry::flipped(appKit, 900);
    EXPECT_EQ(cg, QRectF(1500, 0, 400, 100));
    EXPECT_EQ(CaptureGeometry::flipped(cg, 900), appKit);
    EXPECT_EQ(CaptureGeometry::flipped(QRectF(10, 20, 30, -40), 900), QRectF(10, 840, 30, 40));
    EXPECT_EQ(CaptureGeometry::flipped(QPointF(5, 100), 900), QPointF(5, 800));
}

TEST(CaptureGeometry, FindsThePrimaryScreenByItsOrigin) {
    EXPECT_EQ(CaptureGeometry::primaryScreenHeight(kSpread), 1080);
    EXPECT_EQ(CaptureGeometry::primaryScreenHeight(
                  {screen({-1280, 0, 1280, 1024}), screen({0, 0, 800, 600})}),
              600);
    EXPECT_EQ(CaptureGeometry::primaryScreenHeight({screen({1, 0, 800, 600})}), 0);
    EXPECT_FALSE(CaptureGeometry::primaryScreen({}));
}

TEST(CaptureGeometry, SharedEdgesBelongToOneSide) {
    const QRectF left(0, 0, 100, 100);
    EXPECT_TRUE(CaptureGeometry::contains(left, {0, 0}));
    EXPECT_FALSE(CaptureGeometry::contains(left, {100, 50}));
    EXPECT_FALSE(CaptureGeometry::contains(left, {50, 100}));
    EXPECT_FALSE(CaptureGeometry::contains(QRectF(0, 0, 0, 100), {0, 50}));
}

TEST(CaptureGeometry, PixelLengthsTruncateAndRefuseNonsense) {
    EXPECT_EQ(CaptureGeometry::pixelLength(100.7, 2.0), 201);
    EXPECT_EQ(CaptureGeometry::pixelLength(0.9, 1.0), std::nullopt);
    EXPECT_EQ(CaptureGeometry::pixelLength(10, std::numeric_limits<double>::infinity()),
              std::nullopt);
    EXPECT_EQ(CaptureGeometry::pixelLength(std::nan(""), 1.0), std::nullopt);
    EXPECT_EQ(CaptureGeometry::pixelLength(1e300, 1.0), std::nullopt);
}

TEST(CaptureGeometry, RectFromPointsIsOrderFree) {
    EXPECT_EQ(CaptureGeometry::rectFromPoints({100, 100}, {40, 300}), QRectF(40, 100, 60, 200));
    EXPECT_EQ(CaptureGeometry::rectFromPoints({40, 300}, {100, 100}), QRectF(40, 100, 60, 200));
}

TEST(CaptureGeometry, WindowScalesByTheDisplayHoldingItsCentre) {
    const struct {
        const char* name;
        QRectF frame;
        std::vector<CaptureDisplay> displays;
        QSize pixels; // invalid: the plan fails
    } cases[] = {
        {"on the primary", {10, 10, 300, 200}, kSpreadDisplays, {300, 200}},
        {"centre on the 1.5x display", {2100, 100, 100.5, 40}, kSpreadDisplays, {150, 60}},
        {"off every display: the first one's scale",
         {1900, 100, 200, 50},
         kSpreadDisplays,
         {200, 50}},
        {"no displays: scale 2", {0, 0, 100.7, 50}, {}, {201, 100}},
        {"zero-width display", {10, 10, 100, 100}, {kZeroWidth}, {}},
    };
    for (const auto& c : cases) {
        const auto plan = CaptureGeometry::planWindow(c.frame, c.displays);
        if (!c.pixels.isValid()) {
            EXPECT_EQ(plan.isSuccess() ? QString() : plan.error(),
                      CaptureGeometry::kInvalidSourceRect)
                << c.name;
        } else {
            ASSERT_TRUE(plan.isSuccess()) << c.name;
            EXPECT_EQ(QSize(plan.value().width, plan.value().height), c.pixels) << c.name;
        }
    }
}

} // namespace
} // namespace quorvale
