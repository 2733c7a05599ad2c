#pragma once

namespace quorvale::platform {

class ScreenCapturePermission {
public:
    virtual ~ScreenCapturePermission() = default;
    // May prompt the user; answers whether capture is allowed now.
    virtual bool requestAccess() = 0;
    // Never prompts.
    virtual bool preflightAccess() = 0;
};

} // namespace quorvale::platform
