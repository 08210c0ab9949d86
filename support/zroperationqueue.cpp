#include "support/zroperationqueue.h"

#include <QRecursiveMutex>
#include <QThreadPool>

#include <algorithm>

struct ZrOperationQueue::State
{
    QRecursiveMutex lock;
    QList<QSharedPointer<ZrOperation>> operations;
    QList<ZrOperation *> started;
    int maxConcurrent = -1;
    bool suspended = false;

    void operationDidFinish(ZrOperation *operation);
    void startReadyOperations();
};

void ZrOperationQueue::State::operationDidFinish(ZrOperation *operation)
{
    // The operation stays alive until this returns: it may be the last reference.
    QSharedPointer<ZrOperation> keep;
    {
        QMutexLocker locker(&lock);
        started.removeAll(operation);
        for (int i = 0; i < operations.size(); ++i) {
            if (operations.at(i).data() == operation) {
                keep = operations.takeAt(i);
                break;
            }
        }
    }
    startReadyOperations();
}

void ZrOperationQueue::State::startReadyOperations()
{
    QList<QSharedPointer<ZrOperation>> toStart;
    {
        QMutexLocker locker(&lock);
        if (suspended)
            return;
        QList<QSharedPointer<ZrOperation>> ready;
        for (const QSharedPointer<ZrOperation> &operation : qAsConst(operations)) {
            if (!started.contains(operation.data()) && (operation->isCancelled() || operation->isReady()))
                ready.append(operation);
        }
        std::stable_sort(ready.begin(), ready.end(),
                         [](const QSharedPointer<ZrOperation> &a, const QSharedPointer<ZrOperation> &b) {
                             return a->queuePriority() > b->queuePriority();
                         });
        for (const QSharedPointer<ZrOperation> &operation : qAsConst(ready)) {
            if (maxConcurrent >= 0 && started.size() >= maxConcurrent)
                break;
            started.append(operation.data());
            toStart.append(operation);
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
