#ifndef QPLAYUPDATETHREAD_H
#define QPLAYUPDATETHREAD_H

#include "engine/qutilthread.h"

#include <atomic>
#include <cstdint>

// Ticks the codec player every 50 ms while a medium is open.
class QPlayUpdateThread : public QUtilThread
{
public:
    explicit QPlayUpdateThread(uint64_t player);
    ~QPlayUpdateThread() override;

    void OnExecute() override;

    bool isFinished() const { return m_finished; }

private:
    uint64_t m_player;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
};

#endif
