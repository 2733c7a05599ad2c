#include "capture/ScreenshotService.h"

#include "platform/Platform.h"

namespace quorvale {

void ScreenshotService::capture(Options, Completion completion) {
    // Interactive selection is not available in this build; say so rather than pretend.
    platform::current().mainQueue->async([completion = std::move(completion)] {
        completion(CaptureResult::failure(ScreenshotError::captureFailed(
            QStringLiteral("screen selection is not supported yet"))));
    });
}

} // namespace quorvale
