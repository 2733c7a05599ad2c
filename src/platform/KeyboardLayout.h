#pragma once

namespace quorvale::platform {

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
};

} // namespace quorvale::platform
