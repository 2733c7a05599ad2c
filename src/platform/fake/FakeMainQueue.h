#pragma once

#include "platform/MainQueue.h"

#include <mutex>
#include <thread>
#include <vector>

namespace quorvale::platform {

// Holds queued blocks until the test runs them; time moves only through advance().
class FakeMainQueue : public MainQueue {
public:
    void async(std::function<void()> block) override { asyncAfter(0.0, std::move(block)); }
    void asyncAfter(double seconds, std::function<void()> block) override;
    bool isMainThread() const override { return std::this_thread::get_id() == m_mainThread; }

    // Runs every block due by now (including ones queued while running); returns how many ran.
    int runPending();
    // Moves the clock forward, running blocks as they fall due.
    int advance(double seconds);
    double now() const { return m_now; }
    std::size_t pendingCount() const;

private:
    struct Entry {
        double due;
        std::uint64_t order;
        std::function<void()> block;
    };
    bool takeDue(double until, std::function<void()>& block);

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    std::uint64_t m_nextOrder = 0;
    double m_now = 0.0;
    std::thread::id m_mainThread = std::this_thread::get_id();
};

} // namespace quorvale::platform
