#ifndef ZRPRIVILEGEDTASK_H
#define ZRPRIVILEGEDTASK_H

#include <QFile>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

// Posted with the task as object when a launched task is seen to end.
extern const char *const ZRPrivilegedTaskDidTerminateNotification;

// Runs one tool with administrator rights through pkexec, like a process object: the
// tool's standard output comes back on outputFileHandle, and its end is noticed by a
// 0.05 s timer on the launching thread, which then posts the notification and calls
// terminationHandler there.
class ZRPrivilegedTask : public QObject
{
    Q_OBJECT
public:
    // launch's status when pkexec cannot be found.
    static constexpr int FunctionUnavailableStatus = -70001;
    // launch's status when pkexec could not be started (a missing start folder, say) or the
    // launch path is not absolute.
    static constexpr int ToolExecuteFailureStatus = -60031;

    // The start folder defaults to the process's current folder.
    ZRPrivilegedTask();
    explicit ZRPrivilegedTask(const QString &launchPath);
    ZRPrivilegedTask(const QString &launchPath, const QStringList &arguments);
    ZRPrivilegedTask(const QString &launchPath, const QStringList &arguments, const QString &currentDirectory);
    ~ZRPrivilegedTask() override;

    // Launched, waited for and returned once the tool has ended.
    static QSharedPointer<ZRPrivilegedTask> launchedPrivilegedTaskWithLaunchPath(const QString &launchPath);
    static QSharedPointer<ZRPrivilegedTask> launchedPrivilegedTaskWithLaunchPath(const QString &launchPath,
                                                                                 const QStringList &arguments);
    static QSharedPointer<ZRPrivilegedTask> launchedPrivilegedTaskWithLaunchPath(
        const QString &launchPath, const QStringList &arguments, const QString &currentDirectory);

    // Whether an executable pkexec is on PATH; looked up once.
    static bool authorizationFunctionAvailable();

    QString launchPath() const { return m_launchPath; }
    void setLaunchPath(const QString &launchPath) { m_launchPath = launchPath; }
    QStringList arguments() const { return m_arguments; }
    void setArguments(const QStringList &arguments) { m_arguments = arguments; }
    QString currentDirectoryPath() const { return m_currentDirectoryPath; }
    void setCurrentDirectoryPath(const QString &path) { m_currentDirectoryPath = path; }
    std::function<void(ZRPrivilegedTask *)> terminationHandler() const { return m_terminationHandler; }
    void setTerminationHandler(const std::function<void(ZRPrivilegedTask *)> &handler)
    {
        m_terminationHandler = handler;
    }

    bool isRunning() const { return m_isRunning; }
    // The read end of the tool's standard output; the descriptor closes with the last reference.
    QSharedPointer<QFile> outputFileHandle() const { return m_outputFileHandle; }
    int processIdentifier() const { return m_processIdentifier; }
    int terminationStatus() const { return m_terminationStatus; }

    // 0 once the tool has started; polkit asks for the right afterwards, so a refusal
    // arrives as the termination status 126 or 127.
    int launch();
    // No authorization can be kept between runs: the same as launch.
    int relaunch();
    // Blocks until the tool has ended; neither the notification nor the handler follow.
    void waitUntilExit();
    // The tool runs as another user and cannot be signalled from here.
    void terminate() {}

    // "<object> <launch path> '<argument>'... (CWD:<folder>)"
    QString description() const;

private:
    void checkTaskStatus();
    void releaseStatusTimer();

    QString m_launchPath;
    QStringList m_arguments;
    QString m_currentDirectoryPath;
    std::function<void(ZRPrivilegedTask *)> m_terminationHandler;
    bool m_isRunning = false;
    QSharedPointer<QFile> m_outputFileHandle;
    int m_processIdentifier = 0;
    int m_terminationStatus = 0;
    QTimer *m_statusTimer = nullptr;  // lives on the launching thread, never parented to the task
};

#endif
