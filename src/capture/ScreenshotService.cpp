#include "capture/ScreenshotService.h"

#include "capture/CaptureGeometry.h"
#include "capture/CaptureTrace.h"
#include "capture/SelectionWindowController.h"
#include "platform/Platform.h"

#include <QCoreApplication>

namespace quorvale {
namespace {

CaptureBackendError backendError(const std::optional<platform::CaptureFailure>& failure) {
    if (!failure) {
        // The backend's unknown error, in words that name no framework.
        return {QStringLiteral("ScreenCapture"), -1,
                QCoreApplication::translate("ScreenshotService",
                                            "The operation couldn\u2019t be completed.")};
    }
    return {failure->domain, failure->code, failure->localizedDescription, failure->declined};
}

} // namespace

ScreenshotService::ScreenshotService() = default;

ScreenshotService::~ScreenshotService() = default;

void ScreenshotService::capture(Options options, Completion completion) {
    CaptureTrace::begin();
    std::weak_ptr<ScreenshotService> weakSelf = weak_from_this();
    platform::current().mainQueue->async([weakSelf, options,
                                          completion = std::move(completion)]() mutable {
        auto self = weakSelf.lock();
        if (!self) {
            return;
        }
        if (self->m_selectionWindowController) {
            self->m_selectionWindowController->close();
        }
        const auto& capture = platform::current().screenCapture;
        if (options.contains(Options::windowMode) &&
            capture->windowPicking() == platform::ScreenCapture::WindowPicking::desktopPicker) {
            self->m_selectionWindowController.reset();
            pickWithDesktop(weakSelf, std::move(completion));
            return;
        }
        self->m_selectionWindowController = SelectionWindowController::create();
        self->m_selectionWindowController->startSelection(
            options.contains(Options::windowMode),
            [weakSelf,
             completion = std::move(completion)](Result<SelectionResult, ScreenshotError> outcome) {
                handleSelection(weakSelf, std::move(outcome), completion);
            });
    });
}

void ScreenshotService::pickWithDesktop(const std::weak_ptr<ScreenshotService>& weakSelf,
                                        Completion completion) {
    platform::current().screenCapture->pickWindowImage(
        [weakSelf, completion = std::move(completion)](
            std::optional<QImage> image, std::optional<platform::CaptureFailure> error) {
            if (weakSelf.expired()) {
                return;
            }
            if (error && error->cancelledByUser) {
                completion(CaptureResult::failure(ScreenshotError::userCancelled()));
                return;
            }
            if (error && error->declined) {
                CaptureTrace::mark("portal-denied");
            }
            deliverCapture(std::move(image), std::move(error), completion);
        });
}

void ScreenshotService::handleSelection(const std::weak_ptr<ScreenshotService>& weakSelf,
                                        Result<SelectionResult, ScreenshotError> outcome,
                                        const Completion& completion) {
    auto self = weakSelf.lock();
    if (!self) {
        return;
    }
    if (!outcome.isSuccess()) {
        completion(CaptureResult::failure(outcome.error()));
        return;
    }
    // What the user saw stays alive until its pixels are cut out.
    Frozen frozen = self->m_selectionWindowController
                        ? self->m_selectionWindowController->frozenScreens()
                        : nullptr;
    const SelectionResult selection = outcome.value();
    auto captureFromContent = [selection, completion,
                               frozen](std::optional<platform::ShareableContent> content,
                                       std::optional<platform::CaptureFailure> error) {
        if (!content) {
            completion(CaptureResult::failure(
                ScreenshotError::screenCaptureKitError(backendError(error))));
            return;
        }
        if (selection.isRect()) {
            captureArea(selection.rectValue(), *content, completion, frozen);
        } else {
            captureWindow(selection.windowValue(), *content, completion, frozen);
        }
    };
    // An area needs only the displays; reading every window would delay the pixels.
    if (selection.isRect()) {
        platform::current().screenCapture->getShareableDisplays(std::move(captureFromContent));
    } else {
        platform::current().screenCapture->getShareableContent(false, true,
                                                               std::move(captureFromContent));
    }
}

void ScreenshotService::captureArea(const QRectF& rect, const platform::ShareableContent& content,
                                    const Completion& completion, const Frozen& frozen) {
    const auto& capture = platform::current().screenCapture;
    const auto plan = CaptureGeometry::planArea(rect, capture->screens(), content.displays);
    if (!plan.isSuccess()) {
        completion(CaptureResult::failure(ScreenshotError::captureFailed(plan.error())));
        return;
    }
    platform::ContentFilter filter;
    filter.kind = platform::ContentFilter::Kind::display;
    filter.display = content.displays[plan.value().displayIndex];
    platform::StreamConfiguration configuration;
    configuration.sourceRect = plan.value().sourceRect;
    configuration.width = plan.value().width;
    configuration.height = plan.value().height;
    configuration.showsCursor = false;
    capture->captureImage(filter, configuration,
                          [completion, frozen](std::optional<QImage> image,
                                               std::optional<platform::CaptureFailure> error) {
                              deliverCapture(std::move(image), std::move(error), completion);
                          });
}

void ScreenshotService::captureWindow(const ShareableWindow& window,
                                      const platform::ShareableContent& content,
                                      const Completion& completion, const Frozen& frozen) {
    const auto plan = CaptureGeometry::planWindow(window.frame, content.displays);
    if (!plan.isSuccess()) {
        completion(CaptureResult::failure(ScreenshotError::captureFailed(plan.error())));
        return;
    }
    platform::ContentFilter filter;
    filter.kind = platform::ContentFilter::Kind::desktopIndependentWindow;
    filter.window = window;
    platform::StreamConfiguration configuration;
    configuration.width = plan.value().width;
    configuration.height = plan.value().height;
    configuration.showsCursor = false;
    configuration.ignoreShadowsSingleWindow = true;
    configuration.ignoreShadowsDisplay = true;
    platform::current().screenCapture->captureImage(
        filter, configuration,
        [completion, frozen](std::optional<QImage> image,
                             std::optional<platform::CaptureFailure> error) {
            deliverCapture(std::move(image), std::move(error), completion);
        });
}

void ScreenshotService::deliverCapture(std::optional<QImage> image,
                                       std::optional<platform::CaptureFailure> error,
                                       const Completion& completion) {
    if (error) {
        completion(CaptureResult::failure(ScreenshotError::screenCaptureKitError(
            {error->domain, error->code, error->localizedDescription, error->declined})));
        return;
    }
    if (!image || image->isNull()) {
        completion(CaptureResult::failure(ScreenshotError::captureFailed(kCapturedImageIsNil)));
        return;
    }
    CaptureTrace::mark("image-delivered", QByteArray::number(image->width())
                                              .append('x')
                                              .append(QByteArray::number(image->height()))
                                              .constData());
    completion(CaptureResult::success(std::move(*image)));
}

} // namespace quorvale
