#ifndef QUTILTHREAD_H
#define QUTILTHREAD_H

#include <pthread.h>

// A native worker thread whose body is OnExecute. Workers are joined, never detached:
// a derived class stops its worker in its own destructor, the base then joins it.
class QUtilThread
{
public:
    QUtilThread();
    virtual ~QUtilThread();

    virtual void OnExecute() = 0;

    static void *ThreadProc(void *arg);

protected:
    // Joins the previous worker, then starts a new one; false when no thread could be made.
    bool StartThread();
    // Waits for the worker to return; nothing when none runs.
    void JoinThread();

private:
    pthread_mutex_t m_lock;
    pthread_t m_worker;
    bool m_hasWorker = false;
    bool m_locked = false;
};

#endif
