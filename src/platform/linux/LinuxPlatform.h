#pragma once

#include "platform/Platform.h"

#include <functional>

namespace quorvale::platform {

struct LinuxPlatformOptions {
    // Told, from any thread, what the user should know about (missing language data, ...).
    std::function<void(const QString&)> notify;
    // Read pages with much text on two cores (one-off commands, where no engine is warm).
    bool twoEnginesPerPage = false;
};

// The real backends: X11, Tesseract, libcanberra, the JSON settings file, XDG autostart.
Platform makeLinuxPlatform(const LinuxPlatformOptions& options);

} // namespace quorvale::platform
