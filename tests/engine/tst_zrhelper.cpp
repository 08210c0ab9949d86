#include "codec/rqcodec.h"
#include "engine/qutilthread.h"
#include "engine/zrhelper.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

QString fixture(const QString &name)
{
    return kFixtures + QLatin1Char('/') + name;
}

const qint64 kFrame = 50000;

// A record filled with values no probe gives, to see what a call leaves alone.
PlayItemInfo staleRecord(bool disc)
{
    PlayItemInfo item;
    item.path = QStringLiteral("/stale/path");
    item.Play_to_time_ = 5000000;
    item.Duration_ = 999000000;
    item.OnlyAudio_ = true;
    item.Size_ = 1;
    item.CREACTTIME_ = 2;
    item.Filename = QStringLiteral("stale");
    item.File_isDVD = disc;
    return item;
}

bool sameRecord(const PlayItemInfo &a, const PlayItemInfo &b)
{
    return a.path == b.path && a.Play_to_time_ == b.Play_to_time_ && a.Duration_ == b.Duration_ &&
           a.OnlyAudio_ == b.OnlyAudio_ && a.Size_ == b.Size_ && a.CREACTTIME_ == b.CREACTTIME_ &&
           a.Filename == b.Filename && a.File_isDVD == b.File_isDVD;
}

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// The probe-given fields of a record, for comparing probes made at different moments.
QString describe(bool ok, const PlayItemInfo &item)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
        .arg(ok)
        .arg(item.path, item.Filename)
        .arg(item.Duration_)
        .arg(item.Size_)
        .arg(item.OnlyAudio_)
        .arg(item.File_isDVD);
}

// A loading thread: probes every path, many times over, as the player window's loader does.
class ProbeThread : public QUtilThread
{
public:
    ProbeThread(const QStringList &paths, int rounds) : m_paths(paths), m_rounds(rounds) { StartThread(); }
    ~ProbeThread() override { JoinThread(); }

    void OnExecute() override
    {
        for (int round = 0; round < m_rounds; ++round) {
            for (const QString &path : m_paths) {
                PlayItemInfo item;
                const bool ok = ZRHelper::getMediaInfo(path, &item);
                m_results.append(describe(ok, item) + QStringLiteral(" dvd-dir %1").arg(ZRHelper::isDVDDir(path)));
            }
        }
        m_done = true;
    }

    QStringList m_results;
    std::atomic<bool> m_done{false};

private:
    const QStringList m_paths;
    const int m_rounds;
};

}

class tst_ZRHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probesPlayableMedia_data();
    void probesPlayableMedia();
    void refreshesAReusedRecord_data();
    void refreshesAReusedRecord();
    void unplayableLeavesTheRecord_data();
    void unplayableLeavesTheRecord();
    void discAndFileTests_data();
    void discAndFileTests();
    void texts_data();
    void texts();
    void loadingThreadsWhileAClipPlays();

private:
    QTemporaryDir m_dir;
};

void tst_ZRHelper::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::copy(fixture(QStringLiteral("dvd.iso")), m_dir.filePath(QStringLiteral("DISC.ISO"))));
    QVERIFY(QFile::copy(fixture(QStringLiteral("clip.mp4")), m_dir.filePath(QStringLiteral("fake.iso"))));
    QVERIFY(QFile::copy(fixture(QStringLiteral("clip.mp4")), m_dir.filePath(QStringLiteral("clipwithoutdot"))));
    QVERIFY(QFile::copy(fixture(QStringLiteral("notvideo.mp4")), m_dir.filePath(QStringLiteral("text.iso"))));
    QVERIFY(QFile::copy(fixture(QStringLiteral("notvideo.mp4")), m_dir.filePath(QStringLiteral("notes.txt"))));
    QVERIFY(copyFolder(fixture(QStringLiteral("dvd")), m_dir.filePath(QStringLiteral("my.disc"))));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("empty.folder"))));
}

void tst_ZRHelper::probesPlayableMedia_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("filename");
    QTest::addColumn<bool>("disc");
    QTest::addColumn<bool>("audioOnly");
    QTest::addColumn<qint64>("duration");

    QTest::newRow("clip") << fixture("clip.mp4") << "clip.mp4" << false << false << qint64(2000000);
    QTest::newRow("audio only") << fixture("audio.mp3") << "audio.mp3" << false << true << qint64(3000000);
    QTest::newRow("DVD folder") << fixture("dvd") << "dvd" << true << false << qint64(6000000);
    QTest::newRow("DVD folder with slash") << fixture("dvd/") << "dvd" << true << false << qint64(6000000);
    QTest::newRow("disc image") << fixture("dvd.iso") << "dvd.iso" << true << false << qint64(6000000);
    QTest::newRow("image extension in capitals") << m_dir.filePath("DISC.ISO") << "DISC.ISO" << true << false
                                                 << qint64(6000000);
    QTest::newRow("video named like an image") << m_dir.filePath("fake.iso") << "fake.iso" << false << false
                                               << qint64(2000000);
    QTest::newRow("name without a dot") << m_dir.filePath("clipwithoutdot") << "clipwithoutdot" << false << false
                                        << qint64(2000000);
    QTest::newRow("folder with a dot") << m_dir.filePath("my.disc") << "my.disc" << true << false << qint64(6000000);
}

void tst_ZRHelper::probesPlayableMedia()
{
    QFETCH(QString, path);
    QFETCH(QString, filename);
    QFETCH(bool, disc);
    QFETCH(bool, audioOnly);
    QFETCH(qint64, duration);

    PlayItemInfo item;
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QVERIFY(ZRHelper::getMediaInfo(path, &item));
    QCOMPARE(item.path, path);
    QCOMPARE(item.Filename, filename);
    QCOMPARE(item.File_isDVD, disc);
    QCOMPARE(item.OnlyAudio_, audioOnly);
    QVERIFY2(qAbs(qint64(item.Duration_) - duration) <= kFrame, qPrintable(QString::number(item.Duration_)));
    QCOMPARE(item.Play_to_time_, 0ULL);
    QString shortened = path;
    if (shortened.endsWith(QLatin1Char('/')))
        shortened.chop(1);
    QCOMPARE(item.Size_, static_cast<unsigned long long>(QFileInfo(shortened).size()));
    QVERIFY(qint64(item.CREACTTIME_) >= before && qint64(item.CREACTTIME_) <= QDateTime::currentSecsSinceEpoch());
}

void tst_ZRHelper::refreshesAReusedRecord_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("staleDisc");
    QTest::addColumn<bool>("disc");
    QTest::addColumn<qint64>("duration");

    // The image open fails and the file open takes over: no disc flag may survive from before.
    QTest::newRow("file after a disc") << m_dir.filePath("fake.iso") << true << false << qint64(2000000);
    // The title sum replaces the stored length, it is not added to it.
    QTest::newRow("disc with a stored length") << fixture("dvd.iso") << false << true << qint64(6000000);
}

void tst_ZRHelper::refreshesAReusedRecord()
{
    QFETCH(QString, path);
    QFETCH(bool, staleDisc);
    QFETCH(bool, disc);
    QFETCH(qint64, duration);

    PlayItemInfo item = staleRecord(staleDisc);
    QVERIFY(ZRHelper::getMediaInfo(path, &item));
    QCOMPARE(item.File_isDVD, disc);
    QVERIFY(qAbs(qint64(item.Duration_) - duration) <= kFrame);
    QCOMPARE(item.Play_to_time_, 0ULL);
    QVERIFY(!item.OnlyAudio_);
    QCOMPARE(item.path, path);
}

void tst_ZRHelper::unplayableLeavesTheRecord_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("text named like a video") << fixture("notvideo.mp4");
    QTest::newRow("plain text") << m_dir.filePath("notes.txt");
    QTest::newRow("text named like an image") << m_dir.filePath("text.iso");
    QTest::newRow("empty file") << fixture("empty.mp4");
    QTest::newRow("cut short") << fixture("truncated.mp4");
    QTest::newRow("missing") << m_dir.filePath("missing.mkv");
    QTest::newRow("folder that is no disc") << m_dir.filePath("empty.folder");
    QTest::newRow("empty path") << QString();
}

void tst_ZRHelper::unplayableLeavesTheRecord()
{
    QFETCH(QString, path);
    for (bool disc : {false, true}) {
        PlayItemInfo item = staleRecord(disc);
        QVERIFY(!ZRHelper::getMediaInfo(path, &item));
        QVERIFY(sameRecord(item, staleRecord(disc)));
    }
    QVERIFY(!ZRHelper::isDVDDir(path));
    QVERIFY(!ZRHelper::hasVedeoOrAudio(path));
}

void tst_ZRHelper::discAndFileTests_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("dvdDir");
    QTest::addColumn<bool>("file");
    QTest::newRow("DVD folder") << fixture("dvd") << true << false;
    QTest::newRow("DVD folder with slash") << fixture("dvd/") << true << false;
    // Its title sets are MPEG program streams, which also open as a file.
    QTest::newRow("disc image") << fixture("dvd.iso") << true << true;
    QTest::newRow("clip") << fixture("clip.mp4") << false << true;
    QTest::newRow("audio") << fixture("audio.mp3") << false << true;
    QTest::newRow("folder of media") << kFixtures << false << false;
}

void tst_ZRHelper::discAndFileTests()
{
    QFETCH(QString, path);
    QFETCH(bool, dvdDir);
    QFETCH(bool, file);
    QCOMPARE(ZRHelper::isDVDDir(path), dvdDir);
    QCOMPARE(ZRHelper::hasVedeoOrAudio(path), file);
}

void tst_ZRHelper::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const unsigned long long second = 1000000ULL;
    QTest::newRow("size 0") << ZRHelper::getFileSizeToString(0) << "0B";
    QTest::newRow("size 1023") << ZRHelper::getFileSizeToString(1023) << "1023 B";
    QTest::newRow("size 1024") << ZRHelper::getFileSizeToString(1024) << "1.00 KB";
    QTest::newRow("size 1536") << ZRHelper::getFileSizeToString(1536) << "1.50 KB";
    QTest::newRow("size below 1 MB") << ZRHelper::getFileSizeToString(1048575) << "1024.00 KB";
    QTest::newRow("size 1 MB") << ZRHelper::getFileSizeToString(1048576) << "1.00 MB";
    QTest::newRow("size 2.5 GB") << ZRHelper::getFileSizeToString(2684354560LL) << "2.50 GB";
    QTest::newRow("size 5 TB") << ZRHelper::getFileSizeToString(5497558138880LL) << "5120.00 GB";
    QTest::newRow("size negative") << ZRHelper::getFileSizeToString(-5000) << "-5000 B";

    const unsigned long long hms = 3600 * second + 2 * 60 * second + 3 * second + 4000;
    QTest::newRow("count mode 0") << ZRHelper::getCountStringTime(hms, 0) << "01:02:03.004";
    QTest::newRow("count mode 0 zero") << ZRHelper::getCountStringTime(0, 0) << "00:00:00.000";
    QTest::newRow("count mode 0 sub-millisecond") << ZRHelper::getCountStringTime(999, 0) << "00:00:00.000";
    // 60 days: 5 184 000 000 ms, beyond any 32-bit count.
    QTest::newRow("count mode 0 sixty days") << ZRHelper::getCountStringTime(5184000ULL * second + 500000, 0)
                                             << "1440:00:00.500";
    QTest::newRow("count mode 1 hours") << ZRHelper::getCountStringTime(hms, 1) << "01 h 02 min 03 s";
    QTest::newRow("count mode 1 75 s") << ZRHelper::getCountStringTime(75 * second, 1) << "01 min 15 s";
    QTest::newRow("count mode 1 9 s") << ZRHelper::getCountStringTime(9 * second, 1) << "09 s";
    QTest::newRow("count mode 2 below a minute") << ZRHelper::getCountStringTime(59 * second, 2) << "";
    QTest::newRow("count mode 2 minutes") << ZRHelper::getCountStringTime(75 * second, 2) << "75 s";
    QTest::newRow("count mode 2 hours") << ZRHelper::getCountStringTime(hms, 2) << "62 min 03 s";
    QTest::newRow("count mode 3") << ZRHelper::getCountStringTime(hms, 3) << "";
    QTest::newRow("count mode -1") << ZRHelper::getCountStringTime(hms, -1) << "";

    QTest::newRow("bit rate 0") << ZRHelper::getBitRate(0) << "0 bps";
    QTest::newRow("bit rate 999") << ZRHelper::getBitRate(999) << "999 bps";
    QTest::newRow("bit rate 1000") << ZRHelper::getBitRate(1000) << "1 kps";
    QTest::newRow("bit rate 1500") << ZRHelper::getBitRate(1500) << "1 kps";
    QTest::newRow("bit rate 128000") << ZRHelper::getBitRate(128000) << "128 kps";

    QTest::newRow("time") << ZRHelper::getTime(3600 * second + 23 * 60 * second + 45 * second + 999999) << "01:23:45";
    QTest::newRow("time zero") << ZRHelper::getTime(0) << "00:00:00";
    QTest::newRow("time sixty days") << ZRHelper::getTime(5184000ULL * second + 1000000) << "1440:00:01";
    QTest::newRow("play time") << ZRHelper::getPlayTime(61 * second, 3600 * second) << "00:01:01 / 01:00:00";
}

void tst_ZRHelper::texts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void tst_ZRHelper::loadingThreadsWhileAClipPlays()
{
    const QStringList paths{fixture("clip.mp4"), fixture("audio.mp3"), fixture("movie.mkv"), fixture("twoprog.ts"),
                            fixture("dvd"), fixture("dvd.iso"), fixture("notvideo.mp4"), m_dir.filePath("fake.iso")};
    QStringList sequential;
    for (const QString &path : paths) {
        PlayItemInfo item;
        const bool ok = ZRHelper::getMediaInfo(path, &item);
        sequential.append(describe(ok, item) + QStringLiteral(" dvd-dir %1").arg(ZRHelper::isDVDDir(path)));
    }

    const uint64_t player = codecCreatePlayer(-1);
    QVERIFY(player);
    QVERIFY(codecOpenFile(player, fixture("clip.mp4").toUtf8().constData(), 0, 0, 0, 0));
    QVERIFY(codecPlay(player));

    const int rounds = 5;
    std::vector<std::unique_ptr<ProbeThread>> threads;
    for (int i = 0; i < 4; ++i)
        threads.push_back(std::make_unique<ProbeThread>(paths, rounds));
    for (const auto &thread : threads)
        QTRY_VERIFY_WITH_TIMEOUT(thread->m_done, 120000);
    QVERIFY(codecIsPlaying(player) || codecIsEndReached(player));
    codecClosePlayer(player);
    codecDestroyPlayer(player);

    QStringList expected;
    for (int round = 0; round < rounds; ++round)
        expected += sequential;
    for (const auto &thread : threads)
        QCOMPARE(thread->m_results, expected);
}

QTEST_GUILESS_MAIN(tst_ZRHelper)
#include "tst_zrhelper.moc"
