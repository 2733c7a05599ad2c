#include "platform/fake/FakeMainQueue.h"

#include <algorithm>

namespace quorvale::platform {

void FakeMainQueue::asyncAfter(double seconds, std::function<void()> block) {
    std::lock_guard lock(m_mutex);
    m_entries.push_back({m_now + std::max(0.0, seconds), m_nextOrder++, std::move(block)});
}

bool FakeMainQueue::takeDue(double until, std::function<void()>& block) {
    std::lock_guard lock(m_mutex);
    auto earliest = std::min_element(m_entries.begin(), m_entries.end(), [](auto& a, auto& b) {
        return a.due < b.due || (a.due == b.due && a.order < b.order);
    });
    if (earliest == m_entries.end() || earliest->due > until) {
        return false;
    }
    m_now = std::max(m_now, earliest->due);
    block = std::move(earliest->block);
    m_entries.erase(earliest);
    return true;
}

int FakeMainQueue::runPending() {
    return advance(0.0);
}

int FakeMainQueue::advance(double seconds) {
    const double until = m_now + seconds;
    int ran = 0;
    std::function<void()> block;
    while (takeDue(until, block)) {
        block();
        ++ran;
    }
    std::lock_guard lock(m_mutex);
    m_now = until;
    return ran;
}

std::size_t FakeMainQueue::pendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

} // namespace quorvale::platform
