#pragma once

#include "platform/ScreenCapture.h"

namespace quorvale::platform {

// Answers from the fields below at once and records every call.
class FakeScreenCapture : public ScreenCapture {
public:
    struct CaptureCall {
        ContentFilter filter;
        StreamConfiguration configuration;
    };

    std::vector<ScreenInfo> screens() const override { return screenList; }
    QPointF mouseLocation() const override { return mouse; }

    void getShareableContent(bool excludingDesktopWindows, bool onScreenWindowsOnly,
                             ContentCompletion completion) override {
        contentCalls.push_back({excludingDesktopWindows, onScreenWindowsOnly});
        if (holdContentCompletions) {
            heldContentCompletions.push_back(std::move(completion));
            return;
        }
        completion(content, contentError);
    }

    void getShareableDisplays(ContentCompletion completion) override {
        ++displayCalls;
        std::optional<ShareableContent> displays = content;
        if (displays) {
            displays->windows.clear();
        }
        completion(displays, contentError);
    }

    void captureImage(const ContentFilter& filter, const StreamConfiguration& configuration,
                      ImageCompletion completion) override {
        captureCalls.push_back({filter, configuration});
        freezeAliveAtCapture.push_back(!lastFreeze.expired());
        if (captureError) {
            completion(std::nullopt, captureError);
        } else if (!returnsImage) {
            completion(std::nullopt, std::nullopt);
        } else {
            QImage image(int(configuration.width), int(configuration.height), QImage::Format_RGB32);
            image.fill(Qt::white);
            completion(image, std::nullopt);
        }
    }

    std::optional<std::vector<WindowListEntry>> onScreenWindowList() const override {
        ++windowListQueries;
        return windowList;
    }

    std::shared_ptr<const FrozenScreens> freezeDisplays(bool forWindowPicking) override {
        freezeRequests.push_back(forWindowPicking);
        auto frozen = std::make_shared<FrozenScreens>();
        const std::vector<CaptureDisplay> displays =
            content ? content->displays : std::vector<CaptureDisplay>{};
        for (const CaptureDisplay& display : displays) {
            QImage image(int(display.width), int(display.height), QImage::Format_RGB32);
            image.fill(Qt::darkGray);
            frozen->displays.push_back({display, image});
        }
        lastFreeze = frozen;
        return frozen;
    }

    void freezeDisplaysThen(bool forWindowPicking, FreezeCompletion completion) override {
        if (holdFreezes) {
            freezeRequests.push_back(forWindowPicking);
            heldFreezes.push_back(std::move(completion));
            return;
        }
        ScreenCapture::freezeDisplaysThen(forWindowPicking, std::move(completion));
    }

    WindowPicking windowPicking() const override { return picking; }
    void pickWindowImage(ImageCompletion completion) override {
        ++pickCalls;
        if (pickError) {
            completion(std::nullopt, pickError);
        } else {
            QImage image(40, 20, QImage::Format_RGB32);
            image.fill(Qt::white);
            completion(image, std::nullopt);
        }
    }

    // Answers the oldest held freeze as the desktop would.
    void answerFreeze(std::optional<CaptureFailure> failure = std::nullopt) {
        FreezeCompletion completion = std::move(heldFreezes.front());
        heldFreezes.erase(heldFreezes.begin());
        completion(failure ? nullptr : freezeDisplays(false), failure);
        freezeRequests.pop_back(); // counted once, when asked
    }

    std::vector<ScreenInfo> screenList;
    QPointF mouse;
    bool holdFreezes = false;
    std::vector<FreezeCompletion> heldFreezes;
    WindowPicking picking = WindowPicking::overlay;
    std::optional<CaptureFailure> pickError;
    int pickCalls = 0;
    std::optional<ShareableContent> content = ShareableContent{};
    std::optional<CaptureFailure> contentError;
    bool holdContentCompletions = false;
    std::vector<ContentCompletion> heldContentCompletions;
    std::optional<CaptureFailure> captureError;
    bool returnsImage = true;
    std::optional<std::vector<WindowListEntry>> windowList = std::vector<WindowListEntry>{};

    std::vector<std::pair<bool, bool>> contentCalls;
    int displayCalls = 0;
    std::vector<CaptureCall> captureCalls;
    std::vector<bool> freezeRequests;
    std::vector<bool> freezeAliveAtCapture;
    std::weak_ptr<const FrozenScreens> lastFreeze;
    mutable int windowListQueries = 0;
};

} // namespace quorvale::platform
