#include "codec/rqcodec.h"
#include "engine/qplayupdatethread.h"
#include "engine/zrqplayobject.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>
#include <sys/resource.h>
#include <unistd.h>

static QString fixture(const char *name)
{
    return QString(ZR_FIXTURES_DIR "/") + name;
}

static int threadCount()
{
    return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

static rlim_t addressSpaceInUse()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return rlim_t(statm.readAll().split(' ').value(0).toULongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
}

static bool openItem(ZRQPlayObject &player, const char *name)
{
    PlayItemInfo item;
    item.path = fixture(name);
    return player.SetPlayFile(&item, 0, 0);
}

class tst_ZRQPlayObjectThread : public QObject
{
    Q_OBJECT

private slots:
    // First: no thread of this process may have ended yet, or its cached stack would let the start succeed.
    void threadThatNeverStartedIsDestroyedAtOnce();
    void tickThreadStopsWithinATick();
    void oneTickThreadPerOpenedMedium();
};

void tst_ZRQPlayObjectThread::threadThatNeverStartedIsDestroyedAtOnce()
{
    const int before = threadCount();
    rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_AS, &saved), 0);
    const rlim_t inUse = addressSpaceInUse();
    QVERIFY(inUse > 0);
    // Too little room for a worker's stack, so the start fails.
    rlimit tight = saved;
    tight.rlim_cur = inUse + 1024 * 1024;
    QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
    QElapsedTimer clock;
    bool finished;
    {
        QPlayUpdateThread thread(0);
        setrlimit(RLIMIT_AS, &saved);
        finished = thread.isFinished();
        clock.start();
    }
    QVERIFY(finished);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(threadCount(), before);
}

void tst_ZRQPlayObjectThread::tickThreadStopsWithinATick()
{
    const uint64_t player = codecCreatePlayer(-1);
    QVERIFY(codecOpenFile(player, fixture("clip.mp4").toUtf8().constData(), 0, 0, nullptr, nullptr));
    const int before = threadCount();
    qint64 fastest = 1000000;
    for (int i = 0; i < 5; ++i) {
        auto *thread = new QPlayUpdateThread(player);
        QCOMPARE(threadCount(), before + 1);
        // Let it reach its sleep, the longest wait a stop can meet.
        QTest::qWait(20);
        QElapsedTimer clock;
        clock.start();
        delete thread;
        fastest = qMin(fastest, clock.elapsed());
        QCOMPARE(threadCount(), before);
    }
    // One 50 ms sleep and one 10 ms poll; the fastest of five leaves room for a loaded machine.
    QVERIFY2(fastest < 70, qPrintable(QString::number(fastest)));
    codecClosePlayer(player);
    codecDestroyPlayer(player);
}

void tst_ZRQPlayObjectThread::oneTickThreadPerOpenedMedium()
{
    auto *player = new ZRQPlayObject;
    const int idle = threadCount();

    QVERIFY(openItem(*player, "clip.mp4"));
    QVERIFY(openItem(*player, "audio.mp3"));
    // A stop closes the medium; its tick thread runs on until the next open.
    player->OnBtnStop();
    QTRY_COMPARE_WITH_TIMEOUT(threadCount(), idle + 1, 10000);

    // The refused open deleted it before it tried.
    QVERIFY(!openItem(*player, "notvideo.mp4"));
    QTRY_COMPARE_WITH_TIMEOUT(threadCount(), idle, 10000);

    QVERIFY(openItem(*player, "clip.mp4"));
    player->StartPlay();
    QTRY_VERIFY_WITH_TIMEOUT(player->getCurrentPlayTime() > 300000, 10000);
    delete player;
    QTRY_VERIFY_WITH_TIMEOUT(threadCount() <= idle, 10000);
}

QTEST_GUILESS_MAIN(tst_ZRQPlayObjectThread)
#include "tst_zrqplayobject_thread.moc"
