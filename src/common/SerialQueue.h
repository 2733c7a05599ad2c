#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quorvale {

// One worker thread running jobs in the order they were queued.
class SerialQueue {
public:
    explicit SerialQueue(std::string label);
    ~SerialQueue(); // runs what is queued, then stops
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const std::string& label() const { return m_label; }
    void async(std::function<void()> job);
    // Returns once every job queued before the call has finished.
    void waitUntilIdle();

private:
    void run();

    std::string m_label;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    std::uint64_t m_queued = 0;   // jobs ever queued
    std::uint64_t m_finished = 0; // jobs ever finished
    bool m_stopping = false;
    std::thread m_worker;
};

} // namespace quorvale
