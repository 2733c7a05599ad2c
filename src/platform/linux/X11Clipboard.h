#pragma once

#include "platform/linux/QtClipboard.h"

namespace quorvale::platform {

// Reads the CLIPBOARD selection on a connection of its own, so an owner that never answers
// holds up only the thread that asked, for at most `timeoutMs` per request.
class X11Clipboard : public QtClipboard {
public:
    explicit X11Clipboard(int timeoutMs = 5000)
        : m_timeoutMs(timeoutMs) {}

    Offered fetch(const Pick& pick) const override;

private:
    int m_timeoutMs;
};

} // namespace quorvale::platform
