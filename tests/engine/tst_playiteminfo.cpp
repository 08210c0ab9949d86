#include "engine/playiteminfo.h"
#include "playitemcompare.h"

#include <QSignalSpy>
#include <QtTest>
#include <thread>

// Emits items from whatever thread calls send().
class ItemSender : public QObject
{
    Q_OBJECT
public:
    void send(const PlayItemInfo &item) { emit emitItem(item); }
signals:
    void emitItem(PlayItemInfo item);
};

class tst_PlayItemInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<PlayItemInfo>("PlayItemInfo"); }
    void defaultAndReset();
    void copiesOwnTheirTexts();
    void crossesThreadsQueued();
};

static PlayItemInfo filled()
{
    PlayItemInfo item;
    item.path = "/media/Ünïcode & \"quotes\"/film.mkv";
    item.Play_to_time_ = 123456789ULL;
    item.Duration_ = 0xFFFFFFFFFFULL;
    item.OnlyAudio_ = true;
    item.Size_ = 5000000000ULL;
    item.CREACTTIME_ = 1700000000ULL;
    item.Filename = "film.mkv";
    item.File_isDVD = true;
    return item;
}

static void verifyDefault(const PlayItemInfo &item)
{
    QVERIFY(item.path.isEmpty() && !item.path.isNull());
    QVERIFY(item.Filename.isEmpty() && !item.Filename.isNull());
    QCOMPARE(item.Play_to_time_, 0ULL);
    QCOMPARE(item.Duration_, 0ULL);
    QCOMPARE(item.Size_, 0ULL);
    QCOMPARE(item.CREACTTIME_, 0ULL);
    QVERIFY(!item.OnlyAudio_);
    QVERIFY(!item.File_isDVD);
}

void tst_PlayItemInfo::defaultAndReset()
{
    verifyDefault(PlayItemInfo());
    PlayItemInfo item = filled();
    item.reset();
    verifyDefault(item);
}

void tst_PlayItemInfo::copiesOwnTheirTexts()
{
    const PlayItemInfo original = filled();
    PlayItemInfo copy = original;
    comparePlayItems(copy, original);
    copy.Filename = "other.mkv";
    copy.path.append("/x");
    QCOMPARE(original.Filename, QString("film.mkv"));
    QVERIFY(!original.path.endsWith("/x"));
}

void tst_PlayItemInfo::crossesThreadsQueued()
{
    ItemSender sender;
    PlayItemInfo received;
    Qt::HANDLE receivedOn = nullptr;
    connect(&sender, &ItemSender::emitItem, this, [&](PlayItemInfo item) {
        received = item;
        receivedOn = QThread::currentThreadId();
    }, Qt::QueuedConnection);

    const PlayItemInfo sent = filled();
    std::thread worker([&] {
        PlayItemInfo local = sent;
        sender.send(local);
        local.reset();  // the queued copy must not share the worker's record
    });
    worker.join();
    QTRY_VERIFY(receivedOn != nullptr);
    QCOMPARE(receivedOn, QThread::currentThreadId());
    comparePlayItems(received, sent);
}

QTEST_GUILESS_MAIN(tst_PlayItemInfo)
#include "tst_playiteminfo.moc"
