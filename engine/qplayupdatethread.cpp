#include "qplayupdatethread.h"

#include "codec/rqcodec.h"

#include <chrono>

QPlayUpdateThread::QPlayUpdateThread(uint64_t player)
    : m_player(player)
{
    // A worker that never ran must not keep the destructor waiting.
    if (!StartThread())
        m_finished = true;
}

QPlayUpdateThread::~QPlayUpdateThread()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    JoinThread();
}

void QPlayUpdateThread::setTicking(bool ticking)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ticking == ticking)
            return;
        m_ticking = ticking;
    }
    m_wake.notify_all();
}

void QPlayUpdateThread::OnExecute()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        if (!m_ticking) {
            m_wake.wait(lock, [this] { return m_stop || m_ticking; });
            continue;
        }
        lock.unlock();
        codecPlayerTick(m_player);
        lock.lock();
        m_wake.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_stop || !m_ticking; });
    }
    m_finished = true;
}
