#pragma once

namespace quorvale::platform {

// The desktop's compositing manager: without one, translucent window areas paint opaque.
class Compositor {
public:
    virtual ~Compositor() = default;
    // Asked afresh each time: a compositor may start or stop while the app runs.
    virtual bool isRunning() const = 0;
};

} // namespace quorvale::platform
