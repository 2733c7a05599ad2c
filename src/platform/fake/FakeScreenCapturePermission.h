#pragma once

#include "platform/ScreenCapturePermission.h"

namespace quorvale::platform {

class FakeScreenCapturePermission : public ScreenCapturePermission {
public:
    bool requestAccess() override {
        ++requestCount;
        return granted;
    }
    bool preflightAccess() override {
        ++preflightCount;
        return granted;
    }

    bool granted = true;
    int requestCount = 0;
    int preflightCount = 0;
};

} // namespace quorvale::platform
