#pragma once

#include "platform/GlobalHotKeys.h"

namespace quorvale::platform {

class FakeGlobalHotKeys : public GlobalHotKeys {};

} // namespace quorvale::platform
