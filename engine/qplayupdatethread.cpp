#include "qplayupdatethread.h"

#include "codec/rqcodec.h"
#include "services/zrcommoninterface.h"

QPlayUpdateThread::QPlayUpdateThread(uint64_t player)
    : m_player(player)
{
    // A worker that never ran must not keep the destructor waiting.
    if (!StartThread())
        m_finished = true;
}

QPlayUpdateThread::~QPlayUpdateThread()
{
    m_stop = true;
    while (!m_finished)
        ZrCommonInterface::Sleep(10000);
    JoinThread();
}

void QPlayUpdateThread::OnExecute()
{
    while (!m_stop) {
        codecPlayerTick(m_player);
        ZrCommonInterface::Sleep(50000);
    }
    m_finished = true;
}
