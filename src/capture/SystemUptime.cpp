#include "capture/SystemUptime.h"

#include <chrono>

namespace quorvale {
namespace {

std::function<double()>& source() {
    static std::function<double()> current;
    return current;
}

} // namespace

double SystemUptime::now() {
    if (source()) {
        return source()();
    }
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SystemUptime::setSource(std::function<double()> newSource) {
    source() = std::move(newSource);
}

} // namespace quorvale
