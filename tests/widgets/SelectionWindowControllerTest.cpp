#include "capture/SelectionWindowController.h"
#include "capture/SelectionViewPool.h"
#include "capture/SystemUptime.h"
#include "common/BuildInfo.h"
#include "platform/fake/FakePlatform.h"

#include <QApplication>
#include <QBackingStore>
#include <QPointer>
#include <gtest/gtest.h>

namespace quorvale {
namespace {

using Outcome = SelectionWindowController::SelectionOutcome;

ShareableWindow window(quint32 id, std::optional<platform::WindowOwner> owner = std::nullopt) {
    ShareableWindow w;
    w.windowID = id;
    w.frame = QRectF(0, 0, 400, 300);
    w.owningApplication = std::move(owner);
    return w;
}

class SelectionWindowControllerTest : public ::testing::Test {
protected:
    SelectionWindowControllerTest() {
        SystemUptime::setSource([this] { return fake.mainQueue->now(); });
        auto& capture = *fake.screenCapture;
        capture.screenList = {{1, {0, 0, 800, 600}, {0, 0, 800, 600}, 1.0},
                              {2, {800, 100, 640, 480}, {800, 20, 640, 480}, 1.0}};
        capture.content = platform::ShareableContent{
            {{1, {0, 0, 800, 600}, 800, 600}, {2, {800, 20, 640, 480}, 640, 480}}, {}};
        capture.mouse = {900, 200}; // on the second screen
        controller = SelectionWindowController::create();
    }
    ~SelectionWindowControllerTest() override {
        if (controller) {
            controller->close();
        }
        controller.reset();
        fake.mainQueue->advance(1.0);
        SystemUptime::setSource({});
    }

    void start(bool windowMode) {
        controller->startSelection(
            windowMode, [this](Outcome outcome) { outcomes.push_back(std::move(outcome)); });
    }
    bool cancelled(std::size_t index) const {
        return !outcomes.at(index).isSuccess() &&
               outcomes.at(index).error().kind() == ScreenshotError::Kind::userCancelled;
    }

    platform::FakePlatform fake;
    std::shared_ptr<SelectionWindowController> controller;
    std::vector<Outcome> outcomes;
};

TEST_F(SelectionWindowControllerTest, CoversEveryScreenWithItsFrozenPixels) {
    const auto& views = controller->selectionWindows();
    ASSERT_EQ(views.size(), 2u);
    EXPECT_FALSE(views[0]->isVisible());
    start(false);
    EXPECT_EQ(fake.screenCapture->freezeRequests, std::vector<bool>{false});
    for (SelectionView* view : views) {
        EXPECT_TRUE(view->isVisible());
        EXPECT_TRUE(view->windowFlags().testFlag(Qt::X11BypassWindowManagerHint));
        EXPECT_FALSE(view->frozenImage().isNull());
    }
    EXPECT_EQ(views[1]->geometry(), QRect(800, 20, 640, 480));
    EXPECT_EQ(QWidget::keyboardGrabber(), views[1]); // the one under the mouse
    EXPECT_EQ(views[1]->frozenImage().size(), QSize(640, 480));
}

TEST_F(SelectionWindowControllerTest, EachSelectionCompletesOnceAndReleasesTheFreeze) {
    start(false);
    QApplication::processEvents(); // paints the frozen screens into the overlays
    ASSERT_EQ(controller->selectionWindows()[0]->backingStore()->size(), QSize(800, 600));
    controller->selectionDidCancel();
    controller->selectionDidCancel();
    controller->selectionDidSelectWindow(window(3));
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(cancelled(0));
    EXPECT_TRUE(fake.screenCapture->lastFreeze.expired());
    for (SelectionView* view : controller->selectionWindows()) {
        EXPECT_FALSE(view->isVisible());
        EXPECT_FALSE(view->hasDelegate());
        EXPECT_TRUE(view->frozenImage().isNull());
        EXPECT_LE(view->backingStore()->size().width(), 1) << "the dimmed copy is kept";
    }
    // The start-up steps still due must not bring the overlays back.
    fake.mainQueue->advance(0.5);
    EXPECT_FALSE(controller->selectionWindows()[0]->isVisible());

    start(false); // a finished controller may select again
    controller->selectionDidSelectRect(QRectF(1, 2, 30, 40));
    EXPECT_EQ(outcomes.size(), 1u); // delivered on a later turn
    fake.mainQueue->runPending();
    ASSERT_EQ(outcomes.size(), 2u);
    ASSERT_TRUE(outcomes[1].isSuccess());
    EXPECT_EQ(outcomes[1].value().rectValue(), QRectF(1, 2, 30, 40));
}

TEST_F(SelectionWindowControllerTest, EscapeBeforeTheDeferredRectangleReplacesIt) {
    start(false);
    controller->selectionDidSelectRect(QRectF(1, 2, 30, 40));
    controller->selectionDidCancel();
    fake.mainQueue->runPending();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(cancelled(0));
}

TEST_F(SelectionWindowControllerTest, StartWhileSelectingIsIgnored) {
    start(false);
    bool secondCalled = false;
    controller->startSelection(true, [&](Outcome) { secondCalled = true; });
    controller->selectionDidCancel();
    EXPECT_EQ(outcomes.size(), 1u);
    EXPECT_FALSE(secondCalled);
    EXPECT_FALSE(controller->selectionWindows()[0]->windowMode());
}

TEST_F(SelectionWindowControllerTest, CloseDropsTheCompletionAndTheStartupStillActivatesOnce) {
    start(false);
    fake.mainQueue->advance(0.1);
    controller->close();
    EXPECT_TRUE(controller->isClosed());
    EXPECT_TRUE(controller->selectionWindows().empty());
    controller->selectionDidCancel();
    fake.mainQueue->advance(1.0);
    EXPECT_TRUE(outcomes.empty());
    EXPECT_EQ(fake.activationPolicy->calls.count("activate"), 1);
    EXPECT_TRUE(fake.screenCapture->lastFreeze.expired());
}

TEST_F(SelectionWindowControllerTest, AreaModeSetsTheCrosshairAfterTheStartup) {
    start(false);
    EXPECT_FALSE(controller->selectionWindows()[0]->customCursor());
    fake.mainQueue->advance(0.2);
    EXPECT_EQ(fake.activationPolicy->calls.count("activate"), 1);
    fake.mainQueue->advance(0.2);
    const auto& cursor = controller->selectionWindows()[0]->customCursor();
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->hotSpot(), QPoint(13, 13));
    EXPECT_TRUE(fake.screenCapture->contentCalls.empty());
}

TEST_F(SelectionWindowControllerTest, WindowModeLoadsCandidatesAndHighlightsTheOneUnderTheMouse) {
    const QString own = QString::fromLatin1(build::kApplicationId);
    fake.screenCapture->content->windows = {
        window(10, platform::WindowOwner{own, false}),    // ours
        window(11, platform::WindowOwner{"panel", true}), // the desktop's
        window(12, platform::WindowOwner{"org.editor", false}),
        window(13)}; // no owner: still a pick
    // The mouse, AppKit (900, 200), is CG (900, 400) with the primary 600 high.
    fake.screenCapture->windowList = std::vector<platform::WindowListEntry>{
        {QRectF(850, 350, 100, 100), 1.0, 10, 0}, {QRectF(800, 200, 300, 300), 1.0, 12, 0}};
    start(true);
    EXPECT_EQ(fake.screenCapture->freezeRequests, std::vector<bool>{true});
    fake.mainQueue->advance(0.4);
    ASSERT_EQ(fake.screenCapture->contentCalls.size(), 1u);
    EXPECT_EQ(fake.screenCapture->contentCalls[0], std::make_pair(false, false));
    std::vector<quint32> ids;
    for (const auto& w : controller->selectionWindows()[0]->windows()) {
        ids.push_back(w.windowID);
    }
    EXPECT_EQ(ids, (std::vector<quint32>{12, 13}));
    for (SelectionView* view : controller->selectionWindows()) {
        ASSERT_TRUE(view->highlightedWindow());
        EXPECT_EQ(view->highlightedWindow()->windowID, 12u);
        EXPECT_EQ(view->highlightedWindowCGRect(), QRectF(800, 200, 300, 300));
    }
    // A click in any overlay now picks it.
    controller->selectionDidSelectWindow(*controller->selectionWindows()[0]->highlightedWindow());
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].value().windowValue().windowID, 12u);
}

TEST_F(SelectionWindowControllerTest, ANewControllerReusesTheOverlaysBlankAndDropsGoneScreens) {
    fake.screenCapture->content->windows = {window(12)};
    fake.screenCapture->windowList =
        std::vector<platform::WindowListEntry>{{QRectF(800, 200, 300, 300), 1.0, 12, 0}};
    start(true);
    fake.mainQueue->advance(0.4);
    const std::vector<SelectionView*> first = controller->selectionWindows();
    ASSERT_TRUE(first[1]->highlightedWindow());
    controller->close();

    controller = SelectionWindowController::create();
    EXPECT_EQ(controller->selectionWindows(), first);
    for (SelectionView* view : first) {
        EXPECT_FALSE(view->isVisible());
        EXPECT_FALSE(view->hasDelegate());
        EXPECT_FALSE(view->windowMode());
        EXPECT_FALSE(view->highlightedWindow());
        EXPECT_FALSE(view->customCursor());
        EXPECT_TRUE(view->windows().empty());
        EXPECT_TRUE(view->frozenImage().isNull());
    }
    start(false);
    EXPECT_EQ(QWidget::keyboardGrabber(), first[1]);
    EXPECT_EQ(first[0]->frozenImage().size(), QSize(800, 600));
    controller->selectionDidCancel();
    controller->close();

    // The second screen is gone, the first has moved: neither overlay fits any more.
    fake.screenCapture->screenList = {{1, {0, 0, 1024, 768}, {0, 0, 1024, 768}, 1.0}};
    QPointer<SelectionView> gone = first[1];
    controller = SelectionWindowController::create();
    ASSERT_EQ(controller->selectionWindows().size(), 1u);
    EXPECT_NE(controller->selectionWindows()[0], first[0]);
    EXPECT_EQ(controller->selectionWindows()[0]->geometry(), QRect(0, 0, 1024, 768));
    EXPECT_EQ(SelectionViewPool::size(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

TEST_F(SelectionWindowControllerTest, HoverAfterTheEndIsIgnored) {
    start(true);
    controller->selectionDidCancel();
    controller->didHoverWindow(window(5), QRectF(0, 0, 10, 10), 0, QRegion(0, 0, 10, 10));
    EXPECT_FALSE(controller->selectionWindows()[0]->highlightedWindow());
}

struct SelectableCase {
    std::optional<platform::WindowOwner> owner;
    QString ownId;
    bool selectable;
};

TEST(SelectableWindows, DropOnlyOursAndTheDesktopsOwn) {
    const std::vector<SelectableCase> cases{
        {std::nullopt, "me", true},
        {platform::WindowOwner{"me", false}, "me", false},
        {platform::WindowOwner{"me", false}, "", true},
        {platform::WindowOwner{"", true}, "me", false},
        {platform::WindowOwner{"", false}, "me", true},
        {platform::WindowOwner{"org.editor", false}, "me", true},
    };
    for (const SelectableCase& c : cases) {
        EXPECT_EQ(SelectionWindowController::isSelectableWindow(window(1, c.owner), c.ownId),
                  c.selectable)
            << (c.owner ? c.owner->bundleIdentifier.toStdString() : "no owner");
    }
}

} // namespace
} // namespace quorvale
