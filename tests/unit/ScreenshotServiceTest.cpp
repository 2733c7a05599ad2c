#include "capture/ScreenshotService.h"
#include "capture/SelectionWindowController.h"
#include "capture/SystemUptime.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

using platform::CaptureFailure;

class ScreenshotServiceTest : public ::testing::Test {
protected:
    ScreenshotServiceTest() {
        SystemUptime::setSource([this] { return fake.mainQueue->now(); });
        fake.screenCapture->screenList = {{1, {0, 0, 1440, 900}, {0, 0, 1440, 900}, 2.0}};
        fake.screenCapture->content =
            platform::ShareableContent{{{1, {0, 0, 1440, 900}, 2880, 1800}}, {}};
    }
    ~ScreenshotServiceTest() override {
        service.reset();
        fake.mainQueue->advance(1.0);
        SystemUptime::setSource({});
    }

    // Starts a request and lets the overlay come up.
    std::shared_ptr<SelectionWindowController> request(bool windowMode) {
        service->capture(ScreenshotService::Options(windowMode ? 1 : 0),
                         [this](ScreenshotService::CaptureResult r) { results.push_back(r); });
        fake.mainQueue->runPending();
        return service->selectionWindowController();
    }
    void selectRect(const QRectF& rect) {
        auto controller = request(false);
        ASSERT_TRUE(controller && controller->isSelecting());
        controller->selectionDidSelectRect(rect);
        fake.mainQueue->runPending();
    }
    QString failureText(std::size_t index = 0) const {
        return results.at(index).isSuccess() ? QString()
                                             : results.at(index).error().localizedDescription();
    }

    platform::FakePlatform fake;
    std::shared_ptr<ScreenshotService> service = std::make_shared<ScreenshotService>();
    std::vector<ScreenshotService::CaptureResult> results;
};

TEST_F(ScreenshotServiceTest, AreaAsksForTheClippedRectAtThePixelScaleWithoutCursor) {
    selectRect({100, 200, 300, 150});
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].isSuccess());
    EXPECT_EQ(results[0].value().size(), QSize(600, 300));
    // The displays are enough; no window list is read.
    EXPECT_EQ(fake.screenCapture->displayCalls, 1);
    EXPECT_TRUE(fake.screenCapture->contentCalls.empty());
    ASSERT_EQ(fake.screenCapture->captureCalls.size(), 1u);
    const auto& call = fake.screenCapture->captureCalls[0];
    EXPECT_EQ(call.filter.kind, platform::ContentFilter::Kind::display);
    EXPECT_EQ(call.filter.display.displayID, 1u);
    EXPECT_EQ(call.configuration.sourceRect, QRectF(100, 550, 300, 150));
    EXPECT_FALSE(call.configuration.showsCursor);
}

TEST_F(ScreenshotServiceTest, WindowAsksForItsOwnPixelsWithoutShadows) {
    ShareableWindow window;
    window.windowID = 42;
    window.frame = QRectF(10, 10, 100.7, 50);
    request(true)->selectionDidSelectWindow(window);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(results[0].isSuccess());
    EXPECT_EQ(fake.screenCapture->contentCalls.back(), std::make_pair(false, true));
    const auto& call = fake.screenCapture->captureCalls.at(0);
    EXPECT_EQ(call.filter.kind, platform::ContentFilter::Kind::desktopIndependentWindow);
    EXPECT_EQ(call.filter.window.windowID, 42u);
    EXPECT_EQ(call.configuration.width, 201);
    EXPECT_EQ(call.configuration.height, 100);
    EXPECT_FALSE(call.configuration.sourceRect);
    EXPECT_FALSE(call.configuration.showsCursor);
    EXPECT_TRUE(call.configuration.ignoreShadowsSingleWindow);
    EXPECT_TRUE(call.configuration.ignoreShadowsDisplay);
}

TEST_F(ScreenshotServiceTest, FailuresCarryTheirMessages) {
    struct Case {
        const char* name;
        QString message;
        std::function<void(platform::FakeScreenCapture&)> arrange;
        QRectF rect = {100, 100, 50, 50};
    };
    const auto noContent = [](auto& c) { c.content.reset(); };
    const std::vector<Case> cases{
        {"no content, no error", "Screen capture error: The operation couldn\u2019t be completed.",
         noContent},
        {"content query fails", "Screen capture error: No X11 display connection",
         [&](auto& c) {
             noContent(c);
             c.contentError = CaptureFailure{"X11", 1, "No X11 display connection"};
         }},
        {"no primary", "Capture failed: Could not find primary screen",
         [](auto& c) { c.screenList[0].frame.moveTo(1, 0); }},
        {"centre off every display",
         "Capture failed: No display found containing rect center",
         [](auto&) {},
         {1500, 100, 50, 50}},
        {"display of zero width", "Capture failed: No display found containing rect center",
         [](auto& c) { c.content->displays[0].frame.setWidth(0); }},
        {"display without pixels", "Capture failed: Invalid source rect",
         [](auto& c) { c.content->displays[0].width = 0; }},
        {"capture fails", "Screen capture error: The screen could not be read",
         [](auto& c) {
             c.captureError = CaptureFailure{"X11", 2, "The screen could not be read"};
         }},
        {"no image", "Capture failed: Captured image is nil",
         [](auto& c) { c.returnsImage = false; }},
    };
    for (const Case& c : cases) {
        platform::FakePlatform fresh;
        fresh.screenCapture->screenList = fake.screenCapture->screenList;
        fresh.screenCapture->content = fake.screenCapture->content;
        c.arrange(*fresh.screenCapture);
        SystemUptime::setSource([&] { return fresh.mainQueue->now(); });
        auto own = std::make_shared<ScreenshotService>();
        std::vector<ScreenshotService::CaptureResult> got;
        own->capture({}, [&](ScreenshotService::CaptureResult r) { got.push_back(r); });
        fresh.mainQueue->runPending();
        own->selectionWindowController()->selectionDidSelectRect(c.rect);
        fresh.mainQueue->runPending();
        ASSERT_EQ(got.size(), 1u) << c.name;
        ASSERT_FALSE(got[0].isSuccess()) << c.name;
        EXPECT_EQ(got[0].error().localizedDescription(), c.message) << c.name;
        own.reset();
        fresh.mainQueue->advance(1.0);
    }
}

TEST_F(ScreenshotServiceTest, CancellationPassesThroughOnceWithoutCapturing) {
    auto controller = request(false);
    controller->selectionDidCancel();
    controller->selectionDidCancel();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].error().kind(), ScreenshotError::Kind::userCancelled);
    EXPECT_TRUE(fake.screenCapture->captureCalls.empty());
    EXPECT_TRUE(fake.screenCapture->contentCalls.empty());
}

TEST_F(ScreenshotServiceTest, ANewRequestSupersedesTheOldOneSilently) {
    auto first = request(false);
    auto second = request(true);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->isClosed());
    first->selectionDidCancel();
    second->selectionDidCancel();
    ASSERT_EQ(results.size(), 1u); // only the second request hears back
    EXPECT_EQ(fake.screenCapture->freezeRequests, (std::vector<bool>{false, true}));
}

TEST_F(ScreenshotServiceTest, AServiceGoneDuringTheSelectionNeverCallsBack) {
    auto controller = request(false);
    service.reset();
    controller->selectionDidSelectRect({100, 200, 300, 150});
    fake.mainQueue->runPending();
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(fake.screenCapture->captureCalls.empty());
}

TEST_F(ScreenshotServiceTest, TheFreezeLivesUntilThePixelsAreCutOut) {
    selectRect({100, 200, 300, 150});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(fake.screenCapture->freezeAliveAtCapture, std::vector<bool>{true});
    EXPECT_TRUE(fake.screenCapture->lastFreeze.expired()) << "kept after the capture";
}

TEST_F(ScreenshotServiceTest, PixelsThatArriveLaterShowTheOverlaysOnlyThenAndARefusalEndsIt) {
    fake.screenCapture->holdFreezes = true;
    auto late = request(false);
    ASSERT_TRUE(late->isSelecting());
    EXPECT_FALSE(late->frozenScreens());
    EXPECT_FALSE(late->selectionWindows().front()->isVisible());
    fake.screenCapture->answerFreeze();
    ASSERT_TRUE(late->frozenScreens());
    EXPECT_TRUE(late->selectionWindows().front()->isVisible());

    // An answer for a request that a newer one replaced changes nothing.
    auto stale = request(false);
    auto current = request(false);
    fake.screenCapture->answerFreeze();
    EXPECT_FALSE(current->frozenScreens());
    EXPECT_TRUE(results.empty());

    fake.screenCapture->answerFreeze(CaptureFailure{"Portal", 1, "refused", true});
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].error().kind(), ScreenshotError::Kind::screenCaptureKitError);
    EXPECT_TRUE(results[0].error().backendError().declined);
    EXPECT_FALSE(current->isSelecting());
    EXPECT_TRUE(fake.screenCapture->captureCalls.empty());
}

TEST_F(ScreenshotServiceTest, TheDesktopsWindowPickerAnswersWithoutAnOverlay) {
    using Picking = platform::ScreenCapture::WindowPicking;
    struct Case {
        const char* name;
        Picking picking;
        std::optional<CaptureFailure> error;
        std::optional<ScreenshotError::Kind> failure;
    };
    CaptureFailure dismissed{"Portal", 1, "cancelled", false, true};
    CaptureFailure refused{"Portal", 1, "refused", true, false};
    const Case cases[] = {
        {"picked", Picking::desktopPicker, std::nullopt, std::nullopt},
        {"dismissed", Picking::desktopPicker, dismissed, ScreenshotError::Kind::userCancelled},
        {"refused", Picking::desktopPicker, refused, ScreenshotError::Kind::screenCaptureKitError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        results.clear();
        fake.screenCapture->picking = c.picking;
        fake.screenCapture->pickError = c.error;
        EXPECT_FALSE(request(true)) << "no overlay";
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].isSuccess(), !c.failure);
        if (c.failure) {
            EXPECT_EQ(results[0].error().kind(), *c.failure);
        }
    }
    EXPECT_EQ(fake.screenCapture->pickCalls, 3);
    EXPECT_TRUE(fake.screenCapture->freezeRequests.empty());
}

} // namespace
} // namespace quorvale
