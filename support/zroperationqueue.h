#ifndef ZROPERATIONQUEUE_H
#define ZROPERATIONQUEUE_H

#include "support/zroperation.h"

#include <QList>
#include <QObject>
#include <QRecursiveMutex>
#include <QSharedPointer>

// Runs operations by priority (then in the order added) once their dependencies have
// finished, at most maxConcurrentOperationCount at a time, none while suspended.
// Concurrent operations are started on the calling thread, plain ones on a pool thread.
class ZrOperationQueue : public QObject
{
    Q_OBJECT
public:
    explicit ZrOperationQueue(QObject *parent = nullptr);
    ~ZrOperationQueue() override;

    virtual void addOperation(const QSharedPointer<ZrOperation> &operation);
    QList<QSharedPointer<ZrOperation>> operations() const;
    int operationCount() const;

    int maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(int count);
    bool isSuspended() const;
    void setSuspended(bool suspended);
    virtual void cancelAllOperations();

private:
    void operationDidFinish(ZrOperation *operation);
    void startReadyOperations();

    mutable QRecursiveMutex m_lock;
    QList<QSharedPointer<ZrOperation>> m_operations;
    QList<ZrOperation *> m_started;
    int m_maxConcurrent = -1;
    bool m_suspended = false;
};

#endif
