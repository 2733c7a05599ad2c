#pragma once

#include "platform/KeyboardLayout.h"

namespace quorvale::platform {

class FakeKeyboardLayout : public KeyboardLayout {};

} // namespace quorvale::platform
