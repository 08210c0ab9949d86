#include "support/zrprivilegedtask.h"

#include "support/zrauthorization.h"
#include "support/zrnotificationcenter.h"

#include <QDebug>
#include <QDir>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

const char *const ZRPrivilegedTaskDidTerminateNotification = "ZRPrivilegedTaskDidTerminateNotification";

namespace {

const int StatusCheckIntervalMs = 50;

}

ZRPrivilegedTask::ZRPrivilegedTask()
    : ZRPrivilegedTask(QString(), QStringList(), QDir::currentPath())
{
}

ZRPrivilegedTask::ZRPrivilegedTask(const QString &launchPath)
    : ZRPrivilegedTask(launchPath, QStringList(), QDir::currentPath())
{
}

ZRPrivilegedTask::ZRPrivilegedTask(const QString &launchPath, const QStringList &arguments)
    : ZRPrivilegedTask(launchPath, arguments, QDir::currentPath())
{
}

ZRPrivilegedTask::ZRPrivilegedTask(const QString &launchPath, const QStringList &arguments,
                                   const QString &currentDirectory)
    : m_launchPath(launchPath), m_arguments(arguments), m_currentDirectoryPath(currentDirectory)
{
}

ZRPrivilegedTask::~ZRPrivilegedTask()
{
    releaseStatusTimer();
}

QSharedPointer<ZRPrivilegedTask> ZRPrivilegedTask::launchedPrivilegedTaskWithLaunchPath(const QString &launchPath)
{
    return launchedPrivilegedTaskWithLaunchPath(launchPath, QStringList(), QDir::currentPath());
}

QSharedPointer<ZRPrivilegedTask> ZRPrivilegedTask::launchedPrivilegedTaskWithLaunchPath(const QString &launchPath,
                                                                                        const QStringList &arguments)
{
    return launchedPrivilegedTaskWithLaunchPath(launchPath, arguments, QDir::currentPath());
}

QSharedPointer<ZRPrivilegedTask> ZRPrivilegedTask::launchedPrivilegedTaskWithLaunchPath(
    const QString &launchPath, const QStringList &arguments, const QString &currentDirectory)
{
    QSharedPointer<ZRPrivilegedTask> task(new ZRPrivilegedTask(launchPath, arguments, currentDirectory));
    task->launch();
    task->waitUntilExit();
    return task;
}

bool ZRPrivilegedTask::authorizationFunctionAvailable()
{
    return !ZrAuthorization::create().isNull();
}

int ZRPrivilegedTask::launch()
{
    if (m_isRunning) {
        qWarning("Task already running: %s", qUtf8Printable(description()));
        return 0;
    }
    const ZrAuthorization authorization = ZrAuthorization::create();
    if (authorization.isNull()) {
        qWarning("AuthorizationExecuteWithPrivileges() function not available on this system");
        return FunctionUnavailableStatus;
    }

    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0)
        return ToolExecuteFailureStatus;
    const pid_t pid = authorization.executeWithPrivileges(m_launchPath, m_arguments, m_currentDirectoryPath,
                                                          output[1]);
    ::close(output[1]);
    if (pid < 0) {
        ::close(output[0]);
        return ToolExecuteFailureStatus;
    }

    m_outputFileHandle = QSharedPointer<QFile>::create();
    m_outputFileHandle->open(output[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    m_processIdentifier = pid;
    m_isRunning = true;

    releaseStatusTimer();
    m_statusTimer = new QTimer;
    connect(m_statusTimer, &QTimer::timeout, m_statusTimer, [this] { checkTaskStatus(); });
    m_statusTimer->start(StatusCheckIntervalMs);
    return 0;
}

int ZRPrivilegedTask::relaunch()
{
    return launch();
}

void ZRPrivilegedTask::waitUntilExit()
{
    if (!m_isRunning) {
        qWarning("Task %s is not running", qUtf8Printable(description()));
        return;
    }
    releaseStatusTimer();
    ZrAuthorization::waitForTool(m_processIdentifier, true, m_terminationStatus);
    m_isRunning = false;
}

QString ZRPrivilegedTask::description() const
{
    QString text;
    QDebug(&text).nospace().noquote() << static_cast<const QObject *>(this);
    text += ' ' + m_launchPath;
    for (const QString &argument : m_arguments)
        text += QString(" '%1'").arg(argument);
    text += QString(" (CWD:%1)").arg(m_currentDirectoryPath);
    return text;
}

void ZRPrivilegedTask::checkTaskStatus()
{
    if (!m_isRunning || !ZrAuthorization::waitForTool(m_processIdentifier, false, m_terminationStatus))
        return;
    m_isRunning = false;
    releaseStatusTimer();
    ZrNotificationCenter::defaultCenter()->postNotificationName(ZRPrivilegedTaskDidTerminateNotification, this);
    // A copy: the handler may replace itself or relaunch the task.
    const std::function<void(ZRPrivilegedTask *)> handler = m_terminationHandler;
    if (handler)
        handler(this);
}

// Disconnecting and deleting later are safe from any thread and inside the timer's own signal.
void ZRPrivilegedTask::releaseStatusTimer()
{
    if (!m_statusTimer)
        return;
    m_statusTimer->disconnect();
    m_statusTimer->deleteLater();
    m_statusTimer = nullptr;
}
