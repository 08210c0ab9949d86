#include "qutilthread.h"

QUtilThread::QUtilThread()
{
    pthread_mutex_init(&m_lock, nullptr);
}

QUtilThread::~QUtilThread()
{
    JoinThread();
    pthread_mutex_destroy(&m_lock);
}

void *QUtilThread::ThreadProc(void *arg)
{
    if (arg)
        static_cast<QUtilThread *>(arg)->OnExecute();
    return nullptr;
}

bool QUtilThread::StartThread()
{
    JoinThread();
    pthread_mutex_lock(&m_lock);
    m_locked = true;
    m_hasWorker = pthread_create(&m_worker, nullptr, &QUtilThread::ThreadProc, this) == 0;
    return m_hasWorker;
}

void QUtilThread::JoinThread()
{
    if (m_locked) {
        pthread_mutex_unlock(&m_lock);
        m_locked = false;
    }
    if (m_hasWorker) {
        pthread_join(m_worker, nullptr);
        m_hasWorker = false;
    }
}
