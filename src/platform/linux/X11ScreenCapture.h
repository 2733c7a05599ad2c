#pragma once

#include "platform/ScreenCapture.h"

namespace quorvale::platform {

class X11ScreenCapture : public ScreenCapture {};

} // namespace quorvale::platform
