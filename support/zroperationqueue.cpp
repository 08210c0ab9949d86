#include "support/zroperationqueue.h"

#include <QThreadPool>

#include <algorithm>

ZrOperationQueue::ZrOperationQueue(QObject *parent) : QObject(parent)
{
}

ZrOperationQueue::~ZrOperationQueue()
{
    QMutexLocker locker(&m_lock);
    for (const QSharedPointer<ZrOperation> &operation : qAsConst(m_operations))
        disconnect(operation.data(), nullptr, this, nullptr);
}

void ZrOperationQueue::addOperation(const QSharedPointer<ZrOperation> &operation)
{
    if (!operation)
        return;
    {
        QMutexLocker locker(&m_lock);
        if (m_operations.contains(operation) || operation->isFinished())
            return;
        m_operations.append(operation);
        ZrOperation *raw = operation.data();
        connect(raw, &ZrOperation::operationFinished, this, [this, raw] { operationDidFinish(raw); },
                Qt::DirectConnection);
    }
    startReadyOperations();
}

QList<QSharedPointer<ZrOperation>> ZrOperationQueue::operations() const
{
    QMutexLocker locker(&m_lock);
    return m_operations;
}

int ZrOperationQueue::operationCount() const
{
    QMutexLocker locker(&m_lock);
    return m_operations.size();
}

int ZrOperationQueue::maxConcurrentOperationCount() const
{
    QMutexLocker locker(&m_lock);
    return m_maxConcurrent;
}

void ZrOperationQueue::setMaxConcurrentOperationCount(int count)
{
    {
        QMutexLocker locker(&m_lock);
        m_maxConcurrent = count;
    }
    startReadyOperations();
}

bool ZrOperationQueue::isSuspended() const
{
    QMutexLocker locker(&m_lock);
    return m_suspended;
}

void ZrOperationQueue::setSuspended(bool suspended)
{
    {
        QMutexLocker locker(&m_lock);
        m_suspended = suspended;
    }
    startReadyOperations();
}

void ZrOperationQueue::cancelAllOperations()
{
    for (const QSharedPointer<ZrOperation> &operation : operations())
        operation->cancel();
}

void ZrOperationQueue::operationDidFinish(ZrOperation *operation)
{
    QSharedPointer<ZrOperation> keep;
    {
        QMutexLocker locker(&m_lock);
        m_started.removeAll(operation);
        for (int i = 0; i < m_operations.size(); ++i) {
            if (m_operations.at(i).data() == operation) {
                keep = m_operations.takeAt(i);
                break;
            }
        }
        if (keep)
            disconnect(operation, nullptr, this, nullptr);
    }
    startReadyOperations();
}

void ZrOperationQueue::startReadyOperations()
{
    QList<QSharedPointer<ZrOperation>> toStart;
    {
        QMutexLocker locker(&m_lock);
        if (m_suspended)
            return;
        QList<QSharedPointer<ZrOperation>> ready;
        for (const QSharedPointer<ZrOperation> &operation : qAsConst(m_operations)) {
            if (!m_started.contains(operation.data()) && (operation->isCancelled() || operation->isReady()))
                ready.append(operation);
        }
        std::stable_sort(ready.begin(), ready.end(),
                         [](const QSharedPointer<ZrOperation> &a, const QSharedPointer<ZrOperation> &b) {
                             return a->queuePriority() > b->queuePriority();
                         });
        for (const QSharedPointer<ZrOperation> &operation : qAsConst(ready)) {
            if (m_maxConcurrent >= 0 && m_started.size() >= m_maxConcurrent)
                break;
            m_started.append(operation.data());
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
