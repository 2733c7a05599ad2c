#pragma once

namespace quorvale {

// Timing of the capture road for benchmarks and tests, as debug messages of the Debug log
// category: "capture <event> <milliseconds since the request> [detail]". Switched on with
// QT_LOGGING_RULES="com.vantrelo.Quorvale.Debug.debug=true".
class CaptureTrace {
public:
    static bool enabled();
    static void begin();
    static void mark(const char* event, const char* detail = nullptr);
};

} // namespace quorvale
