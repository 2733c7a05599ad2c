#pragma once

#include "platform/Compositor.h"

namespace quorvale::platform {

class FakeCompositor : public Compositor {
public:
    bool isRunning() const override { return running; }
    // Like a bare X server.
    bool running = false;
};

} // namespace quorvale::platform
