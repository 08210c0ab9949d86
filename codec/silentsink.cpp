#include "codec/silentsink.h"

#include <vector>

namespace rq {

SilentSink::SilentSink(int bytes, std::chrono::nanoseconds period, std::function<void(uint8_t *, int)> fill)
    : m_bytes(bytes), m_period(period), m_fill(std::move(fill)), m_thread(&SilentSink::run, this)
{
}

SilentSink::~SilentSink()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_cond.notify_all();
    m_thread.join();
}

void SilentSink::setPaused(bool paused)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = paused;
    }
    m_cond.notify_all();
}

void SilentSink::locked(const std::function<void()> &f)
{
    std::lock_guard<std::mutex> lock(m_fillMutex);
    f();
}

// Nothing may leave the thread: a failure (no memory) ends the sound as a lost device would.
void SilentSink::run()
try {
    using Clock = std::chrono::steady_clock;
    std::vector<uint8_t> buffer(static_cast<size_t>(m_bytes));
    auto next = Clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (m_paused) {
            m_cond.wait(lock, [this] { return m_stop || !m_paused; });
            next = Clock::now();
            continue;
        }
        lock.unlock();
        {
            std::lock_guard<std::mutex> fill(m_fillMutex);
            m_fill(buffer.data(), m_bytes);
        }
        // The clock keeps real time, not the sink: a thread that could not run for a while goes on from now.
        next = std::max(next + m_period, Clock::now());
        lock.lock();
        m_cond.wait_until(lock, next, [this] { return m_stop || m_paused; });
    }
} catch (const std::exception &) {
}

}
