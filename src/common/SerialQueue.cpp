#include "common/SerialQueue.h"

#include "shared/Log.h"

#include <exception>

namespace quorvale {

SerialQueue::SerialQueue(std::string label)
    : m_label(std::move(label))
    , m_worker([this] { run(); }) {}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void SerialQueue::async(std::function<void()> job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        ++m_queued;
    }
    m_wake.notify_one();
}

void SerialQueue::waitUntilIdle() {
    // A job waiting for its own queue would never return.
    if (std::this_thread::get_id() == m_worker.get_id()) {
        return;
    }
    std::unique_lock lock(m_mutex);
    const std::uint64_t target = m_queued;
    m_idle.wait(lock, [&] { return m_finished >= target; });
}

void SerialQueue::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return; // stopping, and everything queued has run
        }
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        try {
            job();
        } catch (const std::exception& error) {
            qCCritical(Log::general, "%s: job failed: %s", m_label.c_str(), error.what());
        } catch (...) {
            qCCritical(Log::general, "%s: job failed", m_label.c_str());
        }
        job = nullptr; // captured state is released before the job counts as finished
        lock.lock();
        m_busy = false;
        ++m_finished;
        m_idle.notify_all();
    }
}

} // namespace quorvale
