#pragma once

namespace quorvale::platform {

class GlobalHotKeys {
public:
    virtual ~GlobalHotKeys() = default;
};

} // namespace quorvale::platform
