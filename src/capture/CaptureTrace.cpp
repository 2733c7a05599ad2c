#include "capture/CaptureTrace.h"

#include <QtGlobal>
#include <chrono>
#include <cstdio>

namespace quorvale {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point& start() {
    static Clock::time_point point = Clock::now();
    return point;
}

} // namespace

bool CaptureTrace::enabled() {
    static const bool on = qEnvironmentVariableIsSet("QUORVALE_TRACE_CAPTURE");
    return on;
}

void CaptureTrace::begin() {
    start() = Clock::now();
    mark("request");
}

void CaptureTrace::mark(const char* event, const char* detail) {
    if (!enabled()) {
        return;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start()).count();
    std::fprintf(stderr, "quorvale-trace: %s %.3f%s%s\n", event, ms, detail ? " " : "",
                 detail ? detail : "");
    std::fflush(stderr);
}

} // namespace quorvale
