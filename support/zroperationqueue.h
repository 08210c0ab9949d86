#ifndef ZROPERATIONQUEUE_H
#define ZROPERATIONQUEUE_H

#include "support/zroperation.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>

#include <memory>

// Runs operations by priority (then in the order added) once their dependencies have
// finished, at most maxConcurrentOperationCount at a time, none while suspended.
// Concurrent operations are started on the calling thread, plain ones on a pool thread.
class ZrOperationQueue : public QObject
{
    Q_OBJECT
public:
    explicit ZrOperationQueue(QObject *parent = nullptr);

    virtual void addOperation(const QSharedPointer<ZrOperation> &operation);
    QList<QSharedPointer<ZrOperation>> operations() const;
    int operationCount() const;

    int maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(int count);
    bool isSuspended() const;
    void setSuspended(bool suspended);
    virtual void cancelAllOperations();

private:
    // Shared with the operations' finish callbacks, which may come on another thread
    // while the queue itself goes away.
    struct State;
    std::shared_ptr<State> m_state;
};

#endif
