#pragma once

#include "platform/GlobalHotKeys.h"

namespace quorvale::platform {

class X11GlobalHotKeys : public GlobalHotKeys {};

} // namespace quorvale::platform
