#include "codec/rqcodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <random>

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);
constexpr qint64 kFrame = 40000;

QByteArray fixture(const QString &name)
{
    return (kFixtures + QLatin1Char('/') + name).toUtf8();
}

struct FrameCounter {
    std::atomic<int> frames{0};
    std::atomic<int> width{0};

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<FrameCounter *>(context);
        self->width = codecFrameGetWidth(frame);
        ++self->frames;
        return 1;
    }
};

// What the probe says about a title of the disc: its length and where its chapters start.
struct TitleFacts {
    qint64 duration = 0;
    QList<qint64> chapterStarts;
};

TitleFacts probeTitle(const QByteArray &path, int title)
{
    TitleFacts facts;
    const uint64_t probe = codecCreateProbe(-1);
    if (codecProbeOpenDisc(probe, path.constData()) && codecProbeSelectProgram(probe, title)) {
        facts.duration = qint64(codecProbeGetDuration(probe));
        for (int i = 0; i < codecProbeGetChapterCount(probe); ++i)
            facts.chapterStarts << qint64(codecProbeGetChapterStart(probe, i));
    }
    codecDestroyProbe(probe);
    return facts;
}

// Ticks the player as the engine's tick thread would, until the end or a generous time-out.
bool playToEnd(uint64_t player)
{
    QElapsedTimer timer;
    timer.start();
    while (!codecIsEndReached(player) && timer.elapsed() < 60000) {
        codecPlayerTick(player);
        QTest::qWait(50);
    }
    return codecIsEndReached(player);
}

} // namespace

class TestDvdDisc : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titlesPlayToTheirEnd_data();
    void titlesPlayToTheirEnd();
    void seeksAndStepsInsideTitle_data();
    void seeksAndStepsInsideTitle();
    void badDiscsFailCleanly_data();
    void badDiscsFailCleanly();
    void switchesBetweenDiscAndFile();

private:
    uint64_t m_player = 0;
};

void TestDvdDisc::init()
{
    m_player = codecCreatePlayer(-1);
    QVERIFY(m_player);
}

void TestDvdDisc::cleanup()
{
    codecClosePlayer(m_player);
    codecDestroyPlayer(m_player);
    m_player = 0;
}

void TestDvdDisc::titlesPlayToTheirEnd_data()
{
    QTest::addColumn<QString>("disc");
    QTest::addColumn<int>("title");
    for (const char *disc : {"dvd", "dvd/", "dvd.iso"}) {
        QTest::addRow("%s title 1", disc) << QString::fromLatin1(disc) << 0;
        QTest::addRow("%s title 2", disc) << QString::fromLatin1(disc) << 1;
    }
}

void TestDvdDisc::titlesPlayToTheirEnd()
{
    QFETCH(QString, disc);
    QFETCH(int, title);
    const QByteArray path = fixture(disc);
    const TitleFacts facts = probeTitle(path, title);
    QVERIFY(facts.duration > 0);

    QVERIFY(codecOpenDisc(m_player, path.constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecSelectProgram(m_player, title));
    QVERIFY(codecHasVideo(m_player));
    QVERIFY(codecHasAudio(m_player));
    QVERIFY(qAbs(qint64(codecGetDuration(m_player)) - facts.duration) <= kFrame);
    QCOMPARE(codecGetVideoWidth(m_player), 720);
    QCOMPARE(codecGetVideoHeight(m_player), 576);

    FrameCounter counter;
    codecSetFrameCallback(m_player, &FrameCounter::callback, &counter);
    QVERIFY(codecPlay(m_player));
    QVERIFY(playToEnd(m_player));
    // Pictures of the whole title went out, not of one title and then the next.
    const int expected = int(facts.duration / kFrame);
    QVERIFY2(counter.frames >= expected / 2 && counter.frames <= expected + 5, qPrintable(QString::number(counter.frames)));
    QCOMPARE(counter.width.load(), 720);
    QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - facts.duration) <= 3 * kFrame);
    codecSetFrameCallback(m_player, nullptr, nullptr);
}

void TestDvdDisc::seeksAndStepsInsideTitle_data()
{
    QTest::addColumn<QString>("disc");
    QTest::newRow("folder") << QStringLiteral("dvd");
    QTest::newRow("image") << QStringLiteral("dvd.iso");
}

void TestDvdDisc::seeksAndStepsInsideTitle()
{
    QFETCH(QString, disc);
    const QByteArray path = fixture(disc);
    const TitleFacts facts = probeTitle(path, 0);
    QCOMPARE(facts.chapterStarts.size(), 2);
    QVERIFY(codecOpenDisc(m_player, path.constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecSelectProgram(m_player, 0));

    // Each chapter start of the probe is a place on the title's own time line.
    for (const qint64 start : facts.chapterStarts) {
        QVERIFY(codecSeek(m_player, uint64_t(start)));
        QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - start) <= kFrame);
    }
    QVERIFY(codecSeek(m_player, 2500000));
    QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - 2500000) <= kFrame);
    // Steps move one picture at a time around the target, both ways.
    QVERIFY(codecStepFrame(m_player, 1));
    const qint64 first = qint64(codecGetCurrentTime(m_player));
    QVERIFY(qAbs(first - 2500000) <= kFrame);
    QVERIFY(codecStepFrame(m_player, 1));
    QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - (first + kFrame)) <= kFrame / 2);
    QVERIFY(codecStepFrame(m_player, -1));
    QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - first) <= kFrame / 2);
    QVERIFY(codecStepFrame(m_player, -1));
    QVERIFY(qAbs(qint64(codecGetCurrentTime(m_player)) - (first - kFrame)) <= kFrame / 2);

    // From near the end the title plays out and stops there.
    QVERIFY(codecSeek(m_player, uint64_t(facts.duration - 500000)));
    QVERIFY(codecPlay(m_player));
    QVERIFY(playToEnd(m_player));
}

void TestDvdDisc::badDiscsFailCleanly_data()
{
    static QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QDir(folder.path()).mkpath(QStringLiteral("plain"));
    std::mt19937 generator(7);
    QByteArray noise(1 << 20, Qt::Uninitialized);
    for (char &c : noise)
        c = char(generator());
    QFile random(folder.path() + QStringLiteral("/random.iso"));
    QVERIFY(random.open(QIODevice::WriteOnly));
    random.write(noise);
    random.close();
    QFile image(QString::fromUtf8(fixture(QStringLiteral("dvd.iso"))));
    QVERIFY(image.open(QIODevice::ReadOnly));
    QFile half(folder.path() + QStringLiteral("/half.iso"));
    QVERIFY(half.open(QIODevice::WriteOnly));
    half.write(image.read(image.size() / 2));
    half.close();

    QTest::addColumn<QByteArray>("path");
    QTest::newRow("video file") << fixture(QStringLiteral("clip.mp4"));
    QTest::newRow("folder without VIDEO_TS") << (folder.path() + QStringLiteral("/plain")).toUtf8();
    QTest::newRow("iso of random bytes") << (folder.path() + QStringLiteral("/random.iso")).toUtf8();
    QTest::newRow("iso cut in half") << (folder.path() + QStringLiteral("/half.iso")).toUtf8();
    QTest::newRow("missing") << (folder.path() + QStringLiteral("/missing.iso")).toUtf8();
}

void TestDvdDisc::badDiscsFailCleanly()
{
    QFETCH(QByteArray, path);
    QVERIFY(!codecOpenDisc(m_player, path.constData(), 0, 0, nullptr, nullptr));
    QVERIFY(!codecSelectProgram(m_player, 0));
    QVERIFY(!codecHasVideo(m_player));
    QCOMPARE(codecGetDuration(m_player), uint64_t(0));
    QVERIFY(!codecPlay(m_player));
    QVERIFY(!codecOpenDisc(m_player, nullptr, 0, 0, nullptr, nullptr));
    // The player stays usable.
    QVERIFY(codecOpenDisc(m_player, fixture(QStringLiteral("dvd")).constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecSelectProgram(m_player, 1));
}

void TestDvdDisc::switchesBetweenDiscAndFile()
{
    QVERIFY(codecOpenDisc(m_player, fixture(QStringLiteral("dvd.iso")).constData(), 0, 0, nullptr, nullptr));
    // Only titles play: the entries past them are not titles.
    QVERIFY(!codecSelectProgram(m_player, 2));
    QVERIFY(!codecSelectProgram(m_player, -1));
    QVERIFY(codecSelectProgram(m_player, 1));
    QVERIFY(qAbs(qint64(codecGetDuration(m_player)) - 2000000) <= kFrame);
    QVERIFY(codecSelectProgram(m_player, 0));
    QVERIFY(qAbs(qint64(codecGetDuration(m_player)) - 4000000) <= kFrame);

    // A file opened next knows nothing of the disc.
    QVERIFY(codecOpenFile(m_player, fixture(QStringLiteral("clip.mp4")).constData(), 0, 0, nullptr, nullptr));
    QCOMPARE(codecGetVideoWidth(m_player), 320);
    QVERIFY(!codecSelectProgram(m_player, 1));
    QVERIFY(codecSelectProgram(m_player, 0));
    QVERIFY(qAbs(qint64(codecGetDuration(m_player)) - 2000000) <= kFrame);

    codecClosePlayer(m_player);
    QVERIFY(!codecSelectProgram(m_player, 0));
}

QTEST_GUILESS_MAIN(TestDvdDisc)
#include "tst_dvddisc.moc"
