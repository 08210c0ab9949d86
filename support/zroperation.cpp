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
    m_cancelled = true;
}

bool ZrOperation::isCancelled() const
{
    return m_cancelled;
}

bool ZrOperation::isExecuting() const
{
    return m_executing;
}

bool ZrOperation::isFinished() const
{
    return m_finished;
}

bool ZrOperation::isReady() const
{
    QMutexLocker locker(&m_dependencyLock);
    for (const QSharedPointer<ZrOperation> &operation : m_dependencies) {
        if (!operation->isFinished())
            return false;
    }
    return true;
}

int ZrOperation::queuePriority() const
{
    return m_priority;
}

void ZrOperation::setQueuePriority(int priority)
{
    m_priority = priority;
}

void ZrOperation::addDependency(const QSharedPointer<ZrOperation> &operation)
{
    QMutexLocker locker(&m_dependencyLock);
    if (operation && operation.data() != this && !m_dependencies.contains(operation))
        m_dependencies.append(operation);
}

QList<QSharedPointer<ZrOperation>> ZrOperation::dependencies() const
{
    QMutexLocker locker(&m_dependencyLock);
    return m_dependencies;
}

void ZrOperation::setExecuting(bool executing)
{
    m_executing = executing;
}

void ZrOperation::setFinished()
{
    if (m_finished.exchange(true))
        return;
    m_executing = false;
    emit operationFinished();
}
