#ifndef RQ_WAKESIGNAL_H
#define RQ_WAKESIGNAL_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace rq {

// A count of events one thread waits on: it reads the count, looks at what it waits for, and then waits
// until the count has moved on, so that an event between the look and the wait is not missed.
class WakeSignal
{
public:
    using Clock = std::chrono::steady_clock;

    void notify();
    uint64_t generation() const;
    void wait(uint64_t seen);
    void wait(uint64_t seen, Clock::time_point deadline);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    uint64_t m_generation = 0;
};

}

#endif
