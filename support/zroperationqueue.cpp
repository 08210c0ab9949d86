#include "support/zroperationqueue.h"

#include <QRecursiveMutex>
#include <QSet>
#include <QThreadPool>


struct ZrOperationQueue::State
{
    QRecursiveMutex lock;
    // Every operation held, and those not started yet, each in the order added.
    QList<QSharedPointer<ZrOperation>> operations;
    QList<QSharedPointer<ZrOperation>> waiting;
    // Those started and not finished.
    QSet<ZrOperation *> started;
    int maxConcurrent = -1;
    bool suspended = false;

    void operationDidFinish(ZrOperation *operation);
    void startReadyOperations();
    // The waiting operation to start next (the first of the highest priority that may run), or -1.
    int nextToStart() const;
};

void ZrOperationQueue::State::operationDidFinish(ZrOperation *operation)
{
    // The operation stays alive until this returns: it may be the last reference.
    QSharedPointer<ZrOperation> keep;
    {
        QMutexLocker locker(&lock);
        for (int i = 0; i < operations.size(); ++i) {
            if (operations.at(i).data() == operation) {
                keep = operations.takeAt(i);
                break;
            }
        }
        // One that finishes before it was started frees no place.
        if (!started.remove(operation))
            waiting.removeOne(keep);
    }
    startReadyOperations();
}

int ZrOperationQueue::State::nextToStart() const
{
    int best = -1;
    int bestPriority = 0;
    for (int i = 0; i < waiting.size(); ++i) {
        const ZrOperation *candidate = waiting.at(i).data();
        const int priority = candidate->queuePriority();
        if (best >= 0 && priority <= bestPriority)
            continue;
        if (candidate->isCancelled() || candidate->isReady()) {
            best = i;
            bestPriority = priority;
        }
    }
    return best;
}

void ZrOperationQueue::State::startReadyOperations()
{
    QList<QSharedPointer<ZrOperation>> toStart;
    {
        QMutexLocker locker(&lock);
        if (suspended)
            return;
        while (maxConcurrent < 0 || started.size() < maxConcurrent) {
            const int next = nextToStart();
            if (next < 0)
                break;
            toStart.append(waiting.takeAt(next));
            started.insert(toStart.last().data());
        }
    }
    for (const QSharedPointer<ZrOperation> &operation : qAsConst(toStart)) {
        if (operation->isConcurrent())
            operation->start();
        else
            QThreadPool::globalInstance()->start([operation] { operation->start(); });
    }
}

ZrOperationQueue::ZrOperationQueue(QObject *parent) : QObject(parent), m_state(std::make_shared<State>())
{
}

void ZrOperationQueue::addOperation(const QSharedPointer<ZrOperation> &operation)
{
    if (!operation)
        return;
    {
        QMutexLocker locker(&m_state->lock);
        if (m_state->operations.contains(operation) || operation->isFinished())
            return;
        m_state->operations.append(operation);
        m_state->waiting.append(operation);
    }
    ZrOperation *raw = operation.data();
    const std::weak_ptr<State> state = m_state;
    connect(raw, &ZrOperation::operationFinished, raw,
            [state, raw] {
                if (const std::shared_ptr<State> alive = state.lock())
                    alive->operationDidFinish(raw);
            },
            Qt::DirectConnection);
    m_state->startReadyOperations();
}

QList<QSharedPointer<ZrOperation>> ZrOperationQueue::operations() const
{
    QMutexLocker locker(&m_state->lock);
    return m_state->operations;
}

int ZrOperationQueue::operationCount() const
{
    QMutexLocker locker(&m_state->lock);
    return m_state->operations.size();
}

int ZrOperationQueue::maxConcurrentOperationCount() const
{
    QMutexLocker locker(&m_state->lock);
    return m_state->maxConcurrent;
}

void ZrOperationQueue::setMaxConcurrentOperationCount(int count)
{
    {
        QMutexLocker locker(&m_state->lock);
        m_state->maxConcurrent = count;
    }
    m_state->startReadyOperations();
}

bool ZrOperationQueue::isSuspended() const
{
    QMutexLocker locker(&m_state->lock);
    return m_state->suspended;
}

void ZrOperationQueue::setSuspended(bool suspended)
{
    {
        QMutexLocker locker(&m_state->lock);
        m_state->suspended = suspended;
    }
    m_state->startReadyOperations();
}

void ZrOperationQueue::cancelAllOperations()
{
    for (const QSharedPointer<ZrOperation> &operation : operations())
        operation->cancel();
}
