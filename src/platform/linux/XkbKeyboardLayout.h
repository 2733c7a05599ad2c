#pragma once

#include "platform/KeyboardLayout.h"

namespace quorvale::platform {

class XkbKeyboardLayout : public KeyboardLayout {};

} // namespace quorvale::platform
