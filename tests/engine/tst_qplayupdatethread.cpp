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

static int threadCount()
{
    return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

class tst_QPlayUpdateThread : public QObject
{
    Q_OBJECT

private slots:
    void threadProcWithoutArgumentDoesNothing();
    void restartJoinsThePreviousWorker();
    void deletedRightAfterCreationLeavesNoWorker();
    void ticksAnOpenPlayerUntilDeleted();
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

QTEST_GUILESS_MAIN(tst_QPlayUpdateThread)
#include "tst_qplayupdatethread.moc"
