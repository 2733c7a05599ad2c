#include "capture/CaptureTrace.h"

#include "shared/Log.h"

#include <chrono>

namespace quorvale {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point& start() {
    static Clock::time_point point = Clock::now();
    return point;
}

} // namespace

bool CaptureTrace::enabled() {
    return Log::debug().isDebugEnabled();
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
    qCDebug(Log::debug).noquote().nospace()
        << "capture " << event << ' ' << QString::number(ms, 'f', 3) << (detail ? " " : "")
        << (detail ? detail : "");
}

} // namespace quorvale
