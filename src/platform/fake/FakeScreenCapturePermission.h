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

    std::optional<QUrl> settingsUrl() const override { return url; }

    bool granted = true;
    std::optional<QUrl> url = QUrl("settings://privacy/screen-recording");
    int requestCount = 0;
    int preflightCount = 0;
};

} // namespace quorvale::platform
