#include "codec/rqcodec.h"
#include "engine/qplayupdatethread.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>
#include <atomic>

// Counts its runs; the body returns as soon as it has counted.
class CountingThread : public QUtilThread
{
public:
    ~CountingThread() override { JoinThread(); }
    void OnExecute() override { ++runs; }
    bool start() { return StartThread(); }
    std::atomic<int> runs{0};
};

static QStringList threads()
{
    return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

static int threadCount()
{
    return threads().size();
}

// How often a thread of this process has gone to sleep of its own accord so far.
static int sleeps(const QString &thread)
{
    QFile status("/proc/self/task/" + thread + "/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("voluntary_ctxt_switches:"))
            return line.mid(24).trimmed().toInt();
    return -1;
}

// A tick thread on the player and the id of its worker.
static QPlayUpdateThread *startTicker(uint64_t player, QString &worker)
{
    const QStringList before = threads();
    auto *thread = new QPlayUpdateThread(player);
    for (const QString &id : threads())
        if (!before.contains(id))
            worker = id;
    return thread;
}

class tst_QPlayUpdateThread : public QObject
{
    Q_OBJECT

private slots:
    void threadProcWithoutArgumentDoesNothing();
    void restartJoinsThePreviousWorker();
    void deletedRightAfterCreationLeavesNoWorker();
    void ticksAnOpenPlayerUntilDeleted();
    void restsUntilToldToTick();
};

void tst_QPlayUpdateThread::threadProcWithoutArgumentDoesNothing()
{
    QCOMPARE(QUtilThread::ThreadProc(nullptr), nullptr);
}

void tst_QPlayUpdateThread::restartJoinsThePreviousWorker()
{
    const int before = threadCount();
    {
        CountingThread thread;
        QVERIFY(thread.start());
        QVERIFY(thread.start());
        QVERIFY(thread.start());
    }
    QCOMPARE(threadCount(), before);
}

void tst_QPlayUpdateThread::deletedRightAfterCreationLeavesNoWorker()
{
    const uint64_t player = codecCreatePlayer(-1);
    QVERIFY(player != 0);
    const int before = threadCount();
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        delete new QPlayUpdateThread(player);
        // About one tick; the bound only catches a hang.
        QVERIFY(clock.elapsed() < 2000);
    }
    QCOMPARE(threadCount(), before);
    codecDestroyPlayer(player);
}

void tst_QPlayUpdateThread::ticksAnOpenPlayerUntilDeleted()
{
    const uint64_t player = codecCreatePlayer(-1);
    QVERIFY(codecOpenFile(player, ZR_FIXTURES_DIR "/clip.mp4", 0, 0, 0, 0));
    auto *thread = new QPlayUpdateThread(player);
    QVERIFY(!thread->isFinished());
    QVERIFY(codecPlay(player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(player), 15000);
    delete thread;
    codecClosePlayer(player);
    codecDestroyPlayer(player);
}

// A tick thread that is not ticking does not wake: over the time another one wakes ten times, it
// sleeps on; told to tick, it wakes like the other; deleted while resting, it ends at once.
void tst_QPlayUpdateThread::restsUntilToldToTick()
{
    const uint64_t player = codecCreatePlayer(-1);
    QVERIFY(codecOpenFile(player, ZR_FIXTURES_DIR "/clip.mp4", 0, 0, 0, 0));
    QString restingId, tickingId;
    QPlayUpdateThread *resting = startTicker(player, restingId);
    QPlayUpdateThread *ticking = startTicker(player, tickingId);
    QVERIFY(!restingId.isEmpty() && !tickingId.isEmpty());
    QTRY_VERIFY(sleeps(restingId) > 0);
    ticking->setTicking(true);

    int rest = sleeps(restingId);
    int tick = sleeps(tickingId);
    QTRY_VERIFY_WITH_TIMEOUT(sleeps(tickingId) >= tick + 10, 60000);
    QCOMPARE(sleeps(restingId), rest);

    resting->setTicking(true);
    tick = sleeps(tickingId);
    QTRY_VERIFY_WITH_TIMEOUT(sleeps(tickingId) >= tick + 10, 60000);
    QVERIFY(sleeps(restingId) >= rest + 5);

    resting->setTicking(false);
    ticking->setTicking(false);
    delete resting;
    delete ticking;
    QVERIFY(!threads().contains(restingId));
    QVERIFY(!threads().contains(tickingId));
    codecClosePlayer(player);
    codecDestroyPlayer(player);
}

QTEST_GUILESS_MAIN(tst_QPlayUpdateThread)
#include "tst_qplayupdatethread.moc"
