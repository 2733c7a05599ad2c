#pragma once

namespace quorvale {

// Timing lines on standard error for benchmarks and tests, when QUORVALE_TRACE_CAPTURE
// is set: "quorvale-trace: <event> <milliseconds since the request>".
class CaptureTrace {
public:
    static bool enabled();
    static void begin();
    static void mark(const char* event, const char* detail = nullptr);
};

} // namespace quorvale
