#include "support/zroperation.h"

ZrOperation::ZrOperation(QObject *parent) : QObject(parent)
{
}

void ZrOperation::start()
{
    if (!isCancelled()) {
        setExecuting(true);
        main();
        setExecuting(false);
    }
    setFinished();
}

void ZrOperation::cancel()
{
    QMutexLocker locker(&m_stateLock);
    m_cancelled = true;
}

bool ZrOperation::isCancelled() const
{
    QMutexLocker locker(&m_stateLock);
    return m_cancelled;
}

bool ZrOperation::isExecuting() const
{
    QMutexLocker locker(&m_stateLock);
    return m_executing;
}

bool ZrOperation::isFinished() const
{
    QMutexLocker locker(&m_stateLock);
    return m_finished;
}

bool ZrOperation::isReady() const
{
    for (const QSharedPointer<ZrOperation> &operation : dependencies()) {
        if (!operation->isFinished())
            return false;
    }
    return true;
}

int ZrOperation::queuePriority() const
{
    QMutexLocker locker(&m_stateLock);
    return m_priority;
}

void ZrOperation::setQueuePriority(int priority)
{
    QMutexLocker locker(&m_stateLock);
    m_priority = priority;
}

void ZrOperation::addDependency(const QSharedPointer<ZrOperation> &operation)
{
    QMutexLocker locker(&m_stateLock);
    if (operation && operation.data() != this && !m_dependencies.contains(operation))
        m_dependencies.append(operation);
}

QList<QSharedPointer<ZrOperation>> ZrOperation::dependencies() const
{
    QMutexLocker locker(&m_stateLock);
    return m_dependencies;
}

void ZrOperation::setExecuting(bool executing)
{
    QMutexLocker locker(&m_stateLock);
    m_executing = executing;
}

void ZrOperation::setFinished()
{
    {
        QMutexLocker locker(&m_stateLock);
        if (m_finished)
            return;
        m_finished = true;
        m_executing = false;
    }
    emit operationFinished();
}
