#include "support/zrnotificationcenter.h"
#include "support/zrprivilegedtask.h"

#include "support/fakepkexec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>

namespace {

const int WaitMs = 30000;

// Launched with ZR_TASK_PROBE set and no pkexec on PATH: launch must fail with the
// "function missing" status, and keep failing after a pkexec appears, as the lookup is
// made only once.
int probeWithoutPkexec()
{
    ZRPrivilegedTask task("/bin/true");
    const int first = task.launch();
    const bool running = task.isRunning();
    const bool available = ZRPrivilegedTask::authorizationFunctionAvailable();
    FakePkexec::install(QString::fromLocal8Bit(qgetenv("ZR_TASK_PROBE")));
    const int second = task.launch();
    std::printf("first=%d running=%d available=%d second=%d\n", first, running, available, second);
    return 0;
}

struct Observation
{
    QStringList events;
    QList<QThread *> threads;
    QObject *notified = nullptr;
};

// Records the termination notification and the handler of one task, with their threads.
void observe(ZRPrivilegedTask *task, Observation *seen)
{
    QObject::connect(
        ZrNotificationCenter::defaultCenter(), &ZrNotificationCenter::notificationPosted, task,
        [seen](const QString &name, QObject *object) {
            seen->events << name;
            seen->threads << QThread::currentThread();
            seen->notified = object;
        },
        Qt::DirectConnection);
    task->setTerminationHandler([seen](ZRPrivilegedTask *) {
        seen->events << "handler";
        seen->threads << QThread::currentThread();
    });
}

}

class TestZRPrivilegedTask : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void terminationStatus_data();
    void terminationStatus();
    void outputArgumentsAndStartFolder();
    void secondLaunchWhileRunning();
    void launchRefused_data();
    void launchRefused();
    void waitUntilExit();
    void waitUntilExitOnTaskNeverRun();
    void launchedTaskIsFinished();
    void relaunchAfterEnd();
    void launchOnWorkerThread();
    void withoutPkexec();
    void description_data();
    void description();

private:
    QTemporaryDir m_dir;
};

void TestZRPrivilegedTask::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath("bin"));
    QVERIFY(FakePkexec::install(m_dir.filePath("bin")));
    QVERIFY(ZRPrivilegedTask::authorizationFunctionAvailable());
}

void TestZRPrivilegedTask::init()
{
    FakePkexec::setRefusing(false);
    FakePkexec::clearRuns();
}

void TestZRPrivilegedTask::terminationStatus_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("toolRan");

    QTest::newRow("exit 3") << "touch ran; exit 3" << false << 3 << true;
    QTest::newRow("exit 0") << "touch ran" << false << 0 << true;
    QTest::newRow("killed by a signal") << "touch ran; kill -9 $$" << false << 128 + 9 << true;
    QTest::newRow("dialog dismissed") << "touch ran" << true << 126 << false;
}

void TestZRPrivilegedTask::terminationStatus()
{
    QFETCH(QString, script);
    QFETCH(bool, refused);
    QFETCH(int, status);
    QFETCH(bool, toolRan);

    QTemporaryDir folder;
    FakePkexec::setRefusing(refused);
    ZRPrivilegedTask task("/bin/sh", {"-c", script}, folder.path());
    Observation seen;
    observe(&task, &seen);

    QCOMPARE(task.launch(), 0);
    QVERIFY(task.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(seen.events.size(), 2, WaitMs);
    QCOMPARE(seen.events, QStringList({ZRPrivilegedTaskDidTerminateNotification, "handler"}));
    QCOMPARE(seen.threads, QList<QThread *>({QThread::currentThread(), QThread::currentThread()}));
    QCOMPARE(seen.notified, &task);
    QVERIFY(!task.isRunning());
    QCOMPARE(task.terminationStatus(), status);
    QCOMPARE(QFileInfo::exists(folder.filePath("ran")), toolRan);
}

void TestZRPrivilegedTask::outputArgumentsAndStartFolder()
{
    QTemporaryDir base;
    const QString folder = base.filePath("start here");
    QVERIFY(QDir().mkpath(folder));
    const QString before = QDir::currentPath();
    const QStringList arguments{"-c", "pwd -P; printf '%s|' \"$@\"", "sh", "a b", "-x", "Grüße", "'q'"};

    ZRPrivilegedTask task("/bin/sh", arguments, folder);
    Observation seen;
    observe(&task, &seen);
    QCOMPARE(task.launch(), 0);
    QCOMPARE(QDir::currentPath(), before);

    // The pipe reaches its end when the tool exits.
    const QByteArray output = task.outputFileHandle()->readAll();
    QCOMPARE(QString::fromUtf8(output), QFileInfo(folder).canonicalFilePath() + "\na b|-x|Grüße|'q'|");
    QTRY_VERIFY_WITH_TIMEOUT(!task.isRunning(), WaitMs);
    QCOMPARE(task.terminationStatus(), 0);
    QCOMPARE(QDir::currentPath(), before);

    const QList<FakePkexec::Run> runs = FakePkexec::runs();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().folder, QFileInfo(folder).canonicalFilePath());
    QCOMPARE(runs.first().arguments, QStringList({"--keep-cwd", "/bin/sh"}) + arguments);
}

void TestZRPrivilegedTask::secondLaunchWhileRunning()
{
    QTemporaryDir folder;
    // Writes its own pid, then waits for the flag file.
    ZRPrivilegedTask task("/bin/sh", {"-c", "echo $$ > pid.tmp && mv pid.tmp pid; while [ ! -e go ]; do sleep 0.05; done"},
                          folder.path());
    Observation seen;
    observe(&task, &seen);
    QCOMPARE(task.launch(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder.filePath("pid")), WaitMs);
    QFile pidFile(folder.filePath("pid"));
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    QCOMPARE(task.processIdentifier(), pidFile.readAll().trimmed().toInt());

    const int pid = task.processIdentifier();
    QTest::ignoreMessage(QtWarningMsg, qPrintable("Task already running: " + task.description()));
    QCOMPARE(task.launch(), 0);
    QCOMPARE(task.processIdentifier(), pid);
    QVERIFY(task.isRunning());
    QCOMPARE(FakePkexec::runs().size(), 1);

    QFile flag(folder.filePath("go"));
    QVERIFY(flag.open(QIODevice::WriteOnly));
    flag.close();
    QTRY_COMPARE_WITH_TIMEOUT(seen.events.size(), 2, WaitMs);
    QCOMPARE(task.terminationStatus(), 0);
}

void TestZRPrivilegedTask::launchRefused_data()
{
    QTest::addColumn<QString>("launchPath");
    QTest::addColumn<QString>("folder");

    QTest::newRow("missing start folder") << "/bin/true" << "missing";
    // pkexec would read the next three as its own options.
    QTest::newRow("long option") << "--version" << "";
    QTest::newRow("option with a value") << "--user=root" << "";
    QTest::newRow("short option") << "-x" << "";
    QTest::newRow("name looked up on PATH") << "true" << "";
    QTest::newRow("relative path") << "bin/pkexec" << "";
    QTest::newRow("empty") << "" << "";
}

// Nothing starts, nothing is reported later.
void TestZRPrivilegedTask::launchRefused()
{
    QFETCH(QString, launchPath);
    QFETCH(QString, folder);

    QTemporaryDir base;
    ZRPrivilegedTask task(launchPath, {"/bin/true"}, base.filePath(folder));
    Observation seen;
    observe(&task, &seen);
    QCOMPARE(task.launch(), ZRPrivilegedTask::ToolExecuteFailureStatus);
    QVERIFY(!task.isRunning());
    QVERIFY(task.outputFileHandle().isNull());
    QVERIFY(FakePkexec::runs().isEmpty());
    QCoreApplication::processEvents();
    QVERIFY(seen.events.isEmpty());
}

void TestZRPrivilegedTask::waitUntilExit()
{
    QTemporaryDir folder;
    ZRPrivilegedTask task("/bin/sh", {"-c", "exit 7"}, folder.path());
    Observation seen;
    observe(&task, &seen);
    QCOMPARE(task.launch(), 0);
    task.waitUntilExit();
    QVERIFY(!task.isRunning());
    QCOMPARE(task.terminationStatus(), 7);
    // The timer is gone: neither the notification nor the handler follow.
    QCoreApplication::processEvents();
    QVERIFY(seen.events.isEmpty());
}

void TestZRPrivilegedTask::waitUntilExitOnTaskNeverRun()
{
    ZRPrivilegedTask task("/bin/true", {"x"}, "/");
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QString("Task %1 is not running").arg(task.description())));
    task.waitUntilExit();
    QVERIFY(!task.isRunning());
    QCOMPARE(task.terminationStatus(), 0);
}

void TestZRPrivilegedTask::launchedTaskIsFinished()
{
    QTemporaryDir folder;
    const QSharedPointer<ZRPrivilegedTask> task = ZRPrivilegedTask::launchedPrivilegedTaskWithLaunchPath(
        "/bin/sh", {"-c", "pwd -P; exit 4"}, folder.path());
    QVERIFY(!task->isRunning());
    QCOMPARE(task->terminationStatus(), 4);
    QCOMPARE(task->outputFileHandle()->readAll(), QFile::encodeName(QFileInfo(folder.path()).canonicalFilePath()) + "\n");

    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    const QSharedPointer<ZRPrivilegedTask> here =
        ZRPrivilegedTask::launchedPrivilegedTaskWithLaunchPath("/bin/sh", {"-c", "exit 9"});
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(here->terminationStatus(), 9);
    QCOMPARE(QFileInfo(here->currentDirectoryPath()).canonicalFilePath(), QFileInfo(folder.path()).canonicalFilePath());
    QCOMPARE(FakePkexec::runs().last().folder, QFileInfo(folder.path()).canonicalFilePath());
}

void TestZRPrivilegedTask::relaunchAfterEnd()
{
    QTemporaryDir folder;
    ZRPrivilegedTask task("/bin/sh", {"-c", "exit 3"}, folder.path());
    Observation seen;
    observe(&task, &seen);
    QCOMPARE(task.launch(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(seen.events.size(), 2, WaitMs);
    const int firstPid = task.processIdentifier();

    task.setArguments({"-c", "exit 5"});
    QCOMPARE(task.relaunch(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(seen.events.size(), 4, WaitMs);
    QCOMPARE(task.terminationStatus(), 5);
    QVERIFY(task.processIdentifier() != firstPid);
    QCOMPARE(FakePkexec::runs().size(), 2);
}

void TestZRPrivilegedTask::launchOnWorkerThread()
{
    QTemporaryDir folder;
    QThread worker;
    worker.start();
    ZRPrivilegedTask *task = new ZRPrivilegedTask("/bin/sh", {"-c", "exit 6"}, folder.path());
    task->moveToThread(&worker);
    Observation seen;
    observe(task, &seen);
    // The worker writes what it sees before it releases the semaphore, so reading after is safe.
    QSemaphore ended;
    task->setTerminationHandler([&seen, &ended](ZRPrivilegedTask *) {
        seen.events << "handler";
        seen.threads << QThread::currentThread();
        ended.release();
    });
    int launched = -1;
    QMetaObject::invokeMethod(task, [task, &launched] { launched = task->launch(); },
                              Qt::BlockingQueuedConnection);
    QCOMPARE(launched, 0);
    QVERIFY(ended.tryAcquire(1, WaitMs));
    QCOMPARE(seen.events, QStringList({ZRPrivilegedTaskDidTerminateNotification, "handler"}));
    QCOMPARE(seen.threads, QList<QThread *>({&worker, &worker}));
    QCOMPARE(task->terminationStatus(), 6);
    QMetaObject::invokeMethod(task, [task] { delete task; }, Qt::BlockingQueuedConnection);
    worker.quit();
    QVERIFY(worker.wait(WaitMs));
}

void TestZRPrivilegedTask::withoutPkexec()
{
    QTemporaryDir empty;
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", empty.path());
    environment.insert("ZR_TASK_PROBE", empty.path());
    probe.setProcessEnvironment(environment);
    probe.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(probe.waitForFinished(WaitMs * 4));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(),
             QString("first=%1 running=0 available=0 second=%1").arg(ZRPrivilegedTask::FunctionUnavailableStatus));
    QVERIFY(probe.readAllStandardError().contains(
        "AuthorizationExecuteWithPrivileges() function not available on this system"));
}

void TestZRPrivilegedTask::description_data()
{
    QTest::addColumn<QString>("launchPath");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("tail");

    QTest::newRow("no arguments") << "/bin/true" << QStringList() << "/tmp" << " /bin/true (CWD:/tmp)";
    QTest::newRow("arguments") << "/bin/cp" << QStringList({"-pR", "a b", ""}) << "/srv/x y"
                               << " /bin/cp '-pR' 'a b' '' (CWD:/srv/x y)";
}

void TestZRPrivilegedTask::description()
{
    QFETCH(QString, launchPath);
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    QFETCH(QString, tail);

    ZRPrivilegedTask task(launchPath, arguments, folder);
    const QString text = task.description();
    QVERIFY2(text.endsWith(tail), qPrintable(text));
    QVERIFY2(QRegularExpression("^ZRPrivilegedTask\\(0x[0-9a-f]+\\)$").match(text.chopped(tail.size())).hasMatch(),
             qPrintable(text));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("ZR_TASK_PROBE"))
        return probeWithoutPkexec();
    TestZRPrivilegedTask test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zrprivilegedtask.moc"
