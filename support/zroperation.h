#ifndef ZROPERATION_H
#define ZROPERATION_H

#include <QEnableSharedFromThis>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSharedPointer>

#include <atomic>

// A unit of work for ZrOperationQueue: priority, dependencies, cancellation and the
// executing and finished states. A plain operation runs main() inside start(); a
// concurrent one returns from start() at once and reports its end with setFinished().
class ZrOperation : public QObject, public QEnableSharedFromThis<ZrOperation>
{
    Q_OBJECT
public:
    explicit ZrOperation(QObject *parent = nullptr);

    virtual void start();
    virtual void main() {}
    virtual void cancel();
    virtual bool isCancelled() const;
    virtual bool isExecuting() const;
    virtual bool isFinished() const;
    virtual bool isConcurrent() const { return false; }
    // Not waiting for a dependency.
    bool isReady() const;

    int queuePriority() const;
    void setQueuePriority(int priority);
    void addDependency(const QSharedPointer<ZrOperation> &operation);
    QList<QSharedPointer<ZrOperation>> dependencies() const;

signals:
    // Emitted on the thread that ends the operation; queues connect directly.
    void operationFinished();

protected:
    void setExecuting(bool executing);
    void setFinished();

private:
    // The flags and the priority are read without a lock: a queue reads them for every
    // waiting operation each time it picks the next one.
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_priority{0};
    mutable QMutex m_dependencyLock;
    QList<QSharedPointer<ZrOperation>> m_dependencies;
};

#endif
