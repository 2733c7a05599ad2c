#pragma once

#include <functional>

namespace quorvale {

// Seconds since an arbitrary fixed moment, monotonic. Tests may substitute the source.
class SystemUptime {
public:
    static double now();
    // An empty function restores the steady clock.
    static void setSource(std::function<double()> source);
};

} // namespace quorvale
