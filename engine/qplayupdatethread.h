#ifndef QPLAYUPDATETHREAD_H
#define QPLAYUPDATETHREAD_H

#include "engine/qutilthread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// Ticks the codec player every 50 ms while a medium plays; paused or stopped, it waits without
// waking until it is told to tick again or to end.
class QPlayUpdateThread : public QUtilThread
{
public:
    explicit QPlayUpdateThread(uint64_t player);
    ~QPlayUpdateThread() override;

    void OnExecute() override;

    // Created resting; the owner turns ticking on while the medium plays.
    void setTicking(bool ticking);

    bool isFinished() const { return m_finished; }

private:
    uint64_t m_player;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_ticking = false;
    bool m_stop = false;
    std::atomic<bool> m_finished{false};
};

#endif
