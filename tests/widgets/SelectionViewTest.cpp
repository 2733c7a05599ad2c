#include "capture/SelectionView.h"
#include "capture/SystemUptime.h"
#include "platform/fake/FakePlatform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

struct RecordingDelegate : SelectionViewDelegate {
    double selectionStartTime() const override { return startTime; }
    void selectionDidSelectRect(const QRectF& rect) override { rects.push_back(rect); }
    void selectionDidSelectWindow(const ShareableWindow& window) override {
        windows.push_back(window.windowID);
    }
    void selectionDidCancel() override { ++cancels; }
    void didHoverWindow(const std::optional<ShareableWindow>& window, const std::optional<QRectF>&,
                        std::optional<std::int32_t>, const QRegion& visible) override {
        hovers.push_back(window ? window->windowID : 0);
        lastVisible = visible;
    }
    int outcomes() const { return int(rects.size() + windows.size()) + cancels; }

    double startTime = 0;
    std::vector<QRectF> rects;
    std::vector<quint32> windows;
    int cancels = 0;
    std::vector<quint32> hovers;
    QRegion lastVisible;
};

ShareableWindow window(quint32 id) {
    ShareableWindow w;
    w.windowID = id;
    return w;
}

class SelectionViewTest : public ::testing::Test {
protected:
    SelectionViewTest() {
        SystemUptime::setSource([this] { return now; });
        // Primary 800x600; the view covers a second screen right of it, 400 points taller
        // reaching up: AppKit (800, 0, 1000, 1000), CG (800, -400, ...).
        fake.screenCapture->screenList = {{1, {0, 0, 800, 600}, {0, 0, 800, 600}, 1.0},
                                          {2, {800, 0, 1000, 1000}, {800, 0, 1000, 1000}, 1.0}};
        view.setScreen(fake.screenCapture->screenList[1], 600);
        view.resize(1000, 1000);
        view.setDelegate(delegate);
        now = 10.0;
    }
    ~SelectionViewTest() override { SystemUptime::setSource({}); }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }
    void dragThenRelease(QPointF from, QPointF to) {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    void key(int code) {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }

    platform::FakePlatform fake;
    double now = 0;
    SelectionView view;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(SelectionViewTest, DragDrawsTheRectangleBetweenThePoints) {
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {40, 300}, Qt::LeftButton);
    EXPECT_EQ(view.selectionRect(), QRectF(40, 100, 60, 200));
    // Past the edge is not clamped.
    mouse(QEvent::MouseMove, {-30, 1200}, Qt::LeftButton);
    EXPECT_EQ(view.selectionRect(), QRectF(-30, 100, 130, 1100));
}

TEST_F(SelectionViewTest, PaintsTheFrozenScreenDimmedWithTheDashedOutline) {
    QImage frozen(1000, 1000, QImage::Format_RGB32);
    frozen.fill(Qt::white);
    frozen.setPixel(500, 500, qRgb(255, 0, 0));
    view.setFrozenImage(frozen);
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {300, 300}, Qt::LeftButton);
    const QImage shown = view.grab().toImage();
    const QRgb inside = shown.pixel(200, 200);
    EXPECT_NEAR(qRed(inside), 178, 2);
    EXPECT_EQ(qRed(inside), qBlue(inside));
    EXPECT_EQ(qRed(shown.pixel(500, 500)), qRed(inside)) << "the source pixel shows through";
    EXPECT_EQ(qGreen(shown.pixel(500, 500)), 0);
    EXPECT_EQ(shown.pixel(100, 200), qRgb(255, 255, 255)) << "the outline's first dash";
}

TEST_F(SelectionViewTest, EveryGestureEndsInOneOutcome) {
    const struct {
        QPointF from;
        QPointF to;
        std::optional<QRectF> selected; // AppKit; none: cancelled
    } cases[] = {
        {{10, 20}, {16, 26}, QRectF(810, 974, 6, 6)},
        {{300, 500}, {100, 100}, QRectF(900, 500, 200, 400)}, // reversed
        {{10, 10}, {15, 110}, std::nullopt},                  // five wide
        {{10, 10}, {110, 15}, std::nullopt},                  // five high
        {{10, 10}, {10, 10}, std::nullopt},                   // a click
    };
    for (const auto& c : cases) {
        delegate->rects.clear();
        delegate->cancels = 0;
        dragThenRelease(c.from, c.to);
        const auto trace = ::testing::Message() << c.from.x() << "," << c.from.y();
        ASSERT_EQ(delegate->outcomes(), 1) << trace;
        EXPECT_EQ(delegate->rects.empty() ? std::nullopt : std::optional(delegate->rects[0]),
                  c.selected)
            << trace;
        EXPECT_FALSE(view.selectionRect()) << trace;
        EXPECT_FALSE(view.startPoint()) << trace;
    }
}

TEST_F(SelectionViewTest, MouseUpTooSoonAfterTheStartIsIgnored) {
    delegate->startTime = now - 0.19;
    dragThenRelease({10, 10}, {200, 200});
    EXPECT_EQ(delegate->outcomes(), 0);
    EXPECT_EQ(view.selectionRect(), QRectF(10, 10, 190, 190));
    now += 0.02;
    dragThenRelease({20, 20}, {100, 100});
    ASSERT_EQ(delegate->rects.size(), 1u);
    EXPECT_EQ(delegate->rects.front(), QRectF(820, 900, 80, 80));
}

TEST_F(SelectionViewTest, EscapeCancelsAndOtherKeysDoNothing) {
    key(Qt::Key_A);
    key(Qt::Key_Return);
    EXPECT_EQ(delegate->outcomes(), 0);
    key(Qt::Key_Escape);
    EXPECT_EQ(delegate->cancels, 1);
    view.setWindowMode(true);
    key(Qt::Key_Escape);
    EXPECT_EQ(delegate->cancels, 2);
}

TEST_F(SelectionViewTest, WindowModeClickPicksTheHighlightedWindowOrCancels) {
    view.setWindowMode(true);
    dragThenRelease({10, 10}, {300, 300});
    EXPECT_FALSE(view.selectionRect());
    EXPECT_EQ(delegate->cancels, 1);
    view.setHighlight(window(7), QRectF(800, -400, 100, 100), QRegion(800, -400, 100, 100));
    dragThenRelease({10, 10}, {10, 10});
    EXPECT_EQ(delegate->windows, std::vector<quint32>{7});
}

TEST_F(SelectionViewTest, WithoutADelegateNothingIsReported) {
    view.setDelegate({});
    dragThenRelease({10, 10}, {200, 200});
    key(Qt::Key_Escape);
    EXPECT_EQ(delegate->outcomes(), 0);
}

class WindowHitTest : public SelectionViewTest {
protected:
    WindowHitTest() {
        view.setWindowMode(true);
        view.setWindows({window(1), window(2), window(3)});
        // Front-most first, CG. The point below is AppKit (900, 700) = CG (900, -100).
        fake.screenCapture->windowList = std::vector<platform::WindowListEntry>{
            {QRectF(850, -150, 100, 100), 0.0, 1, 0}, // fully transparent
            {QRectF(0, -500, 10, 10), 1.0, 9, 0},     // not a candidate, elsewhere
            {std::nullopt, 1.0, 2, 0},                // no bounds
            {QRectF(880, -120, 40, 40), 1.0, 99, 5},  // not a candidate: clicked through
            {QRectF(800, -200, 300, 300), std::nullopt, 3, 4},
        };
    }
    const QPointF point{900, 700};
};

TEST_F(WindowHitTest, SkipsTransparentAndUnknownEntriesAndFlipsWithThePrimaryHeight) {
    const SelectionView::Hit hit = view.windowAt(point);
    ASSERT_TRUE(hit.window);
    EXPECT_EQ(hit.window->windowID, 3u);
    EXPECT_EQ(hit.bounds, QRectF(800, -200, 300, 300));
    EXPECT_EQ(hit.layer, 4);
    // Only windows drawn in front cut into the highlight.
    EXPECT_EQ(hit.visibleRegion, QRegion(800, -200, 300, 300) - QRegion(880, -120, 40, 40));
}

TEST_F(WindowHitTest, FindsNothingWithoutCandidatesOrList) {
    fake.screenCapture->windowList = std::nullopt;
    EXPECT_FALSE(view.windowAt(point).window);
    fake.screenCapture->windowList =
        std::vector<platform::WindowListEntry>{{QRectF(800, -200, 300, 300), 1.0, 3, 0}};
    const int queries = fake.screenCapture->windowListQueries;
    view.setWindows({});
    EXPECT_FALSE(view.windowAt(point).window);
    EXPECT_EQ(fake.screenCapture->windowListQueries, queries);
}

TEST_F(WindowHitTest, HoverReportsTheWindowUnderTheMouseAndItsLeaving) {
    fake.screenCapture->mouse = point;
    mouse(QEvent::MouseMove, {0, 0}, Qt::NoButton); // the event's own position is not used
    EXPECT_EQ(delegate->hovers, std::vector<quint32>{3});
    fake.screenCapture->mouse = {1700, 50};
    mouse(QEvent::MouseMove, {0, 0}, Qt::NoButton);
    EXPECT_EQ(delegate->hovers, std::vector<quint32>{3}); // nothing highlighted: no report
    view.setHighlight(window(3), QRectF(800, -200, 300, 300), QRegion(800, -200, 300, 300));
    mouse(QEvent::MouseMove, {0, 0}, Qt::NoButton);
    EXPECT_EQ(delegate->hovers, (std::vector<quint32>{3, 0}));
}

} // namespace
} // namespace quorvale
