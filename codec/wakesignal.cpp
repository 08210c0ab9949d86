#include "codec/wakesignal.h"

namespace rq {

void WakeSignal::notify()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
    }
    m_cond.notify_all();
}

uint64_t WakeSignal::generation() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
}

void WakeSignal::wait(uint64_t seen)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cond.wait(lock, [&] { return m_generation != seen; });
}

void WakeSignal::wait(uint64_t seen, Clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cond.wait_until(lock, deadline, [&] { return m_generation != seen; });
}

}
