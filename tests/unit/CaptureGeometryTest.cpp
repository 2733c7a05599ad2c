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

struct AreaCase {
    const char* name;
    std::vector<ScreenInfo> screens;
    std::vector<CaptureDisplay> displays;
    QRectF rect; // AppKit
    std::size_t display;
    QRectF source;
    std::int64_t width;
    std::int64_t height;
    QString error; // empty when the plan succeeds
};

void PrintTo(const AreaCase& c, std::ostream* os) {
    *os << c.name;
}

class AreaPlanTest : public ::testing::TestWithParam<AreaCase> {};

TEST_P(AreaPlanTest, PicksTheDisplayClipsAndScales) {
    const AreaCase& c = GetParam();
    const auto plan = CaptureGeometry::planArea(c.rect, c.screens, c.displays);
    if (!c.error.isEmpty()) {
        ASSERT_FALSE(plan.isSuccess());
        EXPECT_EQ(plan.error(), c.error);
        return;
    }
    ASSERT_TRUE(plan.isSuccess()) << plan.error().toStdString();
    EXPECT_EQ(plan.value().displayIndex, c.display);
    EXPECT_EQ(plan.value().sourceRect, c.source);
    EXPECT_EQ(plan.value().width, c.width);
    EXPECT_EQ(plan.value().height, c.height);
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

INSTANTIATE_TEST_SUITE_P(
    Areas, AreaPlanTest,
    ::testing::Values(AreaCase{"worked example",
                               kLaptop,
                               kRetina,
                               {100, 200, 300, 150},
                               0,
                               {100, 550, 300, 150},
                               600,
                               300,
                               {}},
                      // Global (1500, 0, 400, 100) in CG is AppKit y = 900 - 100 = 800.
                      AreaCase{"second display",
                               kPair,
                               kPairDisplays,
                               {1500, 800, 400, 100},
                               1,
                               {60, 200, 400, 100},
                               400,
                               100,
                               {}},
                      AreaCase{"across two displays: the centre's display, clipped",
                               kPair,
                               kPairDisplays,
                               {1340, 400, 300, 100},
                               1,
                               {0, 600, 200, 100},
                               200,
                               100,
                               {}},
                      AreaCase{"left of and above the primary",
                               kSpread,
                               kSpreadDisplays,
                               {-1200, 1400, 200, 100},
                               1,
                               {80, 24, 200, 100},
                               200,
                               100,
                               {}},
                      AreaCase{"centre in the gap",
                               kSpread,
                               kSpreadDisplays,
                               {1900, 500, 140, 100},
                               0,
                               {},
                               0,
                               0,
                               CaptureGeometry::kNoDisplayForCenter},
                      AreaCase{"fractional scale truncates",
                               kSpread,
                               kSpreadDisplays,
                               {2100.5, 500, 100.7, 33.3},
                               2,
                               {80.5, 546.7, 100.7, 33.3},
                               151,
                               49,
                               {}},
                      AreaCase{"no screen at the origin",
                               {screen({10, 0, 800, 600})},
                               kRetina,
                               {100, 100, 50, 50},
                               0,
                               {},
                               0,
                               0,
                               CaptureGeometry::kNoPrimaryScreen},
                      AreaCase{"display reports no pixels",
                               kLaptop,
                               {{1, {0, 0, 1440, 900}, 0, 0}},
                               {100, 100, 50, 50},
                               0,
                               {},
                               0,
                               0,
                               CaptureGeometry::kInvalidSourceRect},
                      AreaCase{"display frame of zero width",
                               kLaptop,
                               {{1, {0, 0, 0, 900}, 1440, 900}, {2, {0, 0, 1440, 900}, 1440, 900}},
                               {100, 100, 50, 50},
                               1,
                               {100, 750, 50, 50},
                               50,
                               50,
                               {}},
                      AreaCase{"no displays",
                               kLaptop,
                               {},
                               {100, 100, 50, 50},
                               0,
                               {},
                               0,
                               0,
                               CaptureGeometry::kNoDisplayForCenter}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace_if(
            name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }, '_');
        return name;
    });

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

struct WindowCase {
    const char* name;
    QRectF frame;
    std::vector<CaptureDisplay> displays;
    std::int64_t width;
    std::int64_t height;
    bool fails;
};

class WindowPlanTest : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowPlanTest, ScalesByTheDisplayHoldingTheCentre) {
    const WindowCase& c = GetParam();
    const auto plan = CaptureGeometry::planWindow(c.frame, c.displays);
    if (c.fails) {
        ASSERT_FALSE(plan.isSuccess());
        EXPECT_EQ(plan.error(), CaptureGeometry::kInvalidSourceRect);
        return;
    }
    ASSERT_TRUE(plan.isSuccess());
    EXPECT_EQ(plan.value().width, c.width);
    EXPECT_EQ(plan.value().height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowPlanTest,
    ::testing::Values(
        WindowCase{"on the primary", {10, 10, 300, 200}, kSpreadDisplays, 300, 200, false},
        WindowCase{
            "centre on the 1.5x display", {2100, 100, 100.5, 40}, kSpreadDisplays, 150, 60, false},
        WindowCase{"centre off every display: the first display's scale",
                   {1900, 100, 200, 50},
                   kSpreadDisplays,
                   200,
                   50,
                   false},
        WindowCase{"no displays: scale 2", {0, 0, 100.7, 50}, {}, 201, 100, false},
        WindowCase{"zero-width display",
                   {10, 10, 100, 100},
                   {{1, {0, 0, 0, 900}, 1440, 900}},
                   0,
                   0,
                   true}),
    [](const auto& info) { return std::to_string(info.index); });

} // namespace
} // namespace quorvale
