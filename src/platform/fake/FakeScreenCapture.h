#pragma once

#include "platform/ScreenCapture.h"

namespace quorvale::platform {

class FakeScreenCapture : public ScreenCapture {};

} // namespace quorvale::platform
