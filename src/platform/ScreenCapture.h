#pragma once

namespace quorvale::platform {

class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
};

} // namespace quorvale::platform
