#pragma once

#include "capture/ScreenshotService.h"

#include <vector>

namespace quorvale::test {

// Holds each capture request until the test answers it.
class FakeScreenshotService : public ScreenshotService {
public:
    void capture(Options options, Completion completion) override {
        requests.push_back(options);
        pending.push_back(std::move(completion));
    }
    void complete(CaptureResult result) {
        Completion completion = std::move(pending.front());
        pending.erase(pending.begin());
        completion(std::move(result));
    }

    std::vector<Options> requests;
    std::vector<Completion> pending;
};

} // namespace quorvale::test
