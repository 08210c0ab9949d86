#ifndef RQ_SILENTSINK_H
#define RQ_SILENTSINK_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace rq {

// Stands in for an audio device where there is none (ZR_AUDIO=null, or no device would open): a thread of the
// player that asks for a buffer of sound each buffer's time and lets it go unheard. It needs nothing of SDL, so
// any number of players play silently at once. The pace is the clock's: the filler skips what it has passed.
class SilentSink
{
public:
    // fill(buffer, bytes) as an SDL audio callback; a buffer of `bytes` lasts `period`.
    SilentSink(int bytes, std::chrono::nanoseconds period, std::function<void(uint8_t *, int)> fill);
    ~SilentSink();
    SilentSink(const SilentSink &) = delete;
    SilentSink &operator=(const SilentSink &) = delete;

    void setPaused(bool paused);
    // Runs f while no buffer is being filled.
    void locked(const std::function<void()> &f);

private:
    void run();

    const int m_bytes;
    const std::chrono::nanoseconds m_period;
    const std::function<void(uint8_t *, int)> m_fill;
    std::mutex m_fillMutex;
    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_paused = true;
    bool m_stop = false;
    std::thread m_thread;
};

}

#endif
