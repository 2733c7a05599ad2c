#pragma once

#include "platform/Compositor.h"

namespace quorvale::platform {

// A compositing manager owns the selection _NET_WM_CM_S<screen> of the screen it manages.
// Off xcb (offscreen tests) there is none.
class X11Compositor : public Compositor {
public:
    bool isRunning() const override;
};

} // namespace quorvale::platform
