#include "codec/rqcodec.h"
#include "codec/videopresenter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

const QString kFixtures = QStringLiteral(ZR_FIXTURES_DIR);

QByteArray fixture(const QString &name)
{
    return (kFixtures + QLatin1Char('/') + name).toUtf8();
}

// Collects what the frame callback sees, on the library's thread.
struct Recorder {
    std::mutex mutex;
    int frames = 0;
    int format = -1;
    int width = 0;
    int height = 0;
    int centreLuma = -1;
    bool planesValid = true;

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<Recorder *>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        ++self->frames;
        self->format = codecFrameGetFormat(frame);
        self->width = codecFrameGetWidth(frame);
        self->height = codecFrameGetHeight(frame);
        const int planes = self->format == 30 ? 1 : 3;
        for (int i = 0; i < planes; ++i)
            if (!codecFrameGetPlane(frame, i) || codecFrameGetLineSize(frame, i) <= 0)
                self->planesValid = false;
        if (self->format == 0 && self->planesValid)
            self->centreLuma = codecFrameGetPlane(frame, 0)[(self->height / 2) * codecFrameGetLineSize(frame, 0)
                                                            + self->width / 2];
        return 1;
    }

    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return frames;
    }
    // The counter fixture's frame number, from its luma of twice the number.
    int counterFrame()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return centreLuma < 0 ? -1 : (centreLuma + 1) / 2;
    }
    int lastFormat()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return format;
    }
    QSize size()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return QSize(width, height);
    }
};

// The peak bin of the audio block and the block's header values.
struct Spectrum {
    quint64 time = 0;
    quint64 rate = 0;
    quint32 length = 0;
    int peak = -1;
    quint16 peakValue = 0;
    bool silent = true;
};

Spectrum spectrum(uint64_t player)
{
    Spectrum s;
    unsigned char *block = codecGetAudioBuffer(player, 1);
    if (!block)
        return s;
    std::memcpy(&s.time, block + 8, 8);
    std::memcpy(&s.rate, block + 24, 8);
    std::memcpy(&s.length, block + 40, 4);
    const auto *values = reinterpret_cast<const quint16 *>(block + 44);
    for (quint32 i = 0; i < s.length / 2; ++i) {
        if (values[i])
            s.silent = false;
        if (values[i] > s.peakValue) {
            s.peakValue = values[i];
            s.peak = int(i);
        }
    }
    codecReleaseAudioBuffer(player, block);
    return s;
}

int binOf(double hz, const Spectrum &s)
{
    return int(hz / (s.rate / 2.0) * (s.length / 2) + 0.5);
}

}

class TestPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void badInputFailsCleanly_data();
    void badInputFailsCleanly();
    void openCloseCycles();
    void closedPlayerAnswersZero();
    void concurrentCallers();
    void playsToTheEnd_data();
    void playsToTheEnd();
    void pauseHoldsPosition();
    void exactSeek_data();
    void exactSeek();
    void seekWhilePlaying();
    void stepFrame();
    void stepsBackRun_data();
    void stepsBackRun();
    void dragSeek();
    void programSwitch();
    void audioTrackSwitch();
    void displayAspect();
    void snapshot();
    void audioBlock();
    void volumeClipsInsteadOfWrapping();
    void callbackReplaced();
    void acceptedFormats();
    void callbackCallsBack();
    void pausedSeeksShowTheirTarget();
    void presenterTakesWhatItLookedAt();
    void producerWaitsForRoomInTheQueue();
    void stepHoldsNoOtherCall();
    void destroyedFromItsOwnCallback();
    void silentPlayersPlayTogether_data();
    void silentPlayersPlayTogether();
    void soundRatesNoDevicePlays_data();
    void soundRatesNoDevicePlays();
    void seekFarPastTheEndOfAnUnknownLength_data();
    void seekFarPastTheEndOfAnUnknownLength();
    void stepsOnStampsFarApart();
    void framesCounted_data();
    void framesCounted();
    void clockStartsWithTheFirstPicture();

private:
    bool openPaused(const char *name);
    bool waitForCounterFrame(int expected);

    uint64_t m_player = 0;
    Recorder m_recorder;
};

void TestPlayer::init()
{
    codecGlobalInit(1);
    codecSetGlobalOption(1, 1);
    codecSetGlobalOption(7, 2000000);
    m_player = codecCreatePlayer(-1);
    QVERIFY(m_player);
    codecSetPlayerParameter(m_player, 50000);
    m_recorder.frames = 0;
    m_recorder.centreLuma = -1;
    m_recorder.format = -1;
    m_recorder.planesValid = true;
    codecSetFrameCallback(m_player, &Recorder::callback, &m_recorder);
}

void TestPlayer::cleanup()
{
    codecClosePlayer(m_player);
    codecDestroyPlayer(m_player);
    m_player = 0;
}

bool TestPlayer::openPaused(const char *name)
{
    return codecOpenFile(m_player, fixture(QString::fromUtf8(name)).constData(), 0, 0, nullptr, nullptr) != 0;
}

bool TestPlayer::waitForCounterFrame(int expected)
{
    QElapsedTimer timer;
    timer.start();
    while (m_recorder.counterFrame() != expected && timer.elapsed() < 10000)
        QTest::qWait(5);
    if (m_recorder.counterFrame() != expected)
        qWarning("shown frame %d, expected %d", m_recorder.counterFrame(), expected);
    return m_recorder.counterFrame() == expected;
}

void TestPlayer::badInputFailsCleanly_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("zero bytes") << fixture(QStringLiteral("empty.mp4"));
    QTest::newRow("truncated") << fixture(QStringLiteral("truncated.mp4"));
    QTest::newRow("text named .mp4") << fixture(QStringLiteral("notvideo.mp4"));
    QTest::newRow("missing") << fixture(QStringLiteral("no-such-file.mp4"));
    QTest::newRow("folder") << kFixtures.toUtf8();
}

void TestPlayer::badInputFailsCleanly()
{
    QFETCH(QByteArray, path);
    QVERIFY(openPaused("clip.mp4"));
    QCOMPARE(codecOpenFile(m_player, path.constData(), 0, 0, nullptr, nullptr), 0);
    QCOMPARE(codecHasVideo(m_player), 0);
    QCOMPARE(codecHasAudio(m_player), 0);
    QCOMPARE(codecGetDuration(m_player), uint64_t(0));
    QCOMPARE(codecIsPlaying(m_player), 0);
    QCOMPARE(codecPlay(m_player), 0);
    QVERIFY(!codecCaptureSnapshot(m_player, 0, 0, 0));
    // The player is still usable.
    QVERIFY(openPaused("clip.mp4"));
    QCOMPARE(codecHasVideo(m_player), 1);
}

void TestPlayer::openCloseCycles()
{
    const char *files[] = {"clip.mp4", "movie.mkv", "audio.mp3", "twoprog.ts", "anamorphic.mp4"};
    for (int round = 0; round < 2; ++round) {
        for (const char *name : files) {
            codecClosePlayer(m_player);
            QVERIFY2(openPaused(name), name);
            if (round == 1)
                codecPlay(m_player);
            codecPlayerTick(m_player);
        }
    }
    codecClosePlayer(m_player);
    codecClosePlayer(m_player);
    QCOMPARE(codecHasVideo(m_player), 0);
}

void TestPlayer::closedPlayerAnswersZero()
{
    codecClosePlayer(m_player);
    codecClosePlayer(m_player);
    codecPlayerTick(m_player);
    QVERIFY(openPaused("clip.mp4"));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY(m_recorder.count() > 3);
    codecClosePlayer(m_player);
    const int frames = m_recorder.count();
    QTest::qWait(300);
    QCOMPARE(m_recorder.count(), frames);
    QCOMPARE(codecIsPlaying(m_player), 0);
    QCOMPARE(codecIsPaused(m_player), 0);
    QCOMPARE(codecIsEndReached(m_player), 0);
    QCOMPARE(codecHasVideo(m_player), 0);
    QCOMPARE(codecHasAudio(m_player), 0);
    QCOMPARE(codecGetDuration(m_player), uint64_t(0));
    QCOMPARE(codecGetCurrentTime(m_player), uint64_t(0));
    QCOMPARE(codecGetVideoWidth(m_player), 0);
    QCOMPARE(codecGetVideoHeight(m_player), 0);
    QCOMPARE(codecGetDisplayAspectNum(m_player), 0u);
    QCOMPARE(codecGetDisplayAspectDen(m_player), 0u);
    QCOMPARE(codecStepFrame(m_player, 1), 0);
    QCOMPARE(codecSeek(m_player, 1000000), 0);
    QVERIFY(!codecCaptureSnapshot(m_player, 0, 0, 0));
    QVERIFY(!codecGetAudioBuffer(m_player, 1));
    codecReleaseAudioBuffer(m_player, nullptr);
    // Unknown handles are refused, not followed.
    QCOMPARE(codecHasVideo(m_player + 1000), 0);
    codecPlayerTick(0);
}

void TestPlayer::concurrentCallers()
{
    std::atomic<bool> stop{false};
    // The tick thread and a poller use the same handle while the main thread opens, seeks and closes.
    std::thread ticker([&] {
        while (!stop) {
            codecPlayerTick(m_player);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::thread poller([&] {
        while (!stop) {
            codecGetCurrentTime(m_player);
            codecIsEndReached(m_player);
            codecGetVideoWidth(m_player);
            if (unsigned char *block = codecGetAudioBuffer(m_player, 1))
                codecReleaseAudioBuffer(m_player, block);
            if (unsigned char *bmp = codecCaptureSnapshot(m_player, 64, 48, 0))
                codecFreeSnapshot(m_player, bmp);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    for (int i = 0; i < 6; ++i) {
        QVERIFY(openPaused(i % 2 ? "movie.mkv" : "clip.mp4"));
        codecPlay(m_player);
        codecSeek(m_player, 500000 * uint64_t(i % 3));
        codecStepFrame(m_player, 1);
        codecPlay(m_player);
        QTest::qWait(50);
        codecClosePlayer(m_player);
    }
    // Destroyed while the others still call: they find no player and get zeros.
    QVERIFY(openPaused("clip.mp4"));
    codecPlay(m_player);
    codecDestroyPlayer(m_player);
    QCOMPARE(codecHasVideo(m_player), 0);
    QTest::qWait(50);
    stop = true;
    ticker.join();
    poller.join();
}

void TestPlayer::playsToTheEnd_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("video");
    QTest::addColumn<int>("audio");
    QTest::newRow("video and audio") << QStringLiteral("clip.mp4") << 1 << 1;
    QTest::newRow("audio only") << QStringLiteral("audio.mp3") << 0 << 1;
    QTest::newRow("audio with cover art") << QStringLiteral("cover.mp3") << 0 << 1;
    QTest::newRow("video only") << QStringLiteral("anamorphic.mp4") << 1 << 0;
}

void TestPlayer::playsToTheEnd()
{
    QFETCH(QString, file);
    QFETCH(int, video);
    QFETCH(int, audio);
    QVERIFY(openPaused(file.toUtf8().constData()));
    QCOMPARE(codecHasVideo(m_player), video);
    QCOMPARE(codecHasAudio(m_player), audio);
    QCOMPARE(codecIsPaused(m_player), 1);
    QCOMPARE(codecGetCurrentTime(m_player), uint64_t(0));
    const uint64_t duration = codecGetDuration(m_player);
    QVERIFY(duration > 900000 && duration < 3200000);

    QElapsedTimer timer;
    timer.start();
    QVERIFY(codecPlay(m_player));
    QCOMPARE(codecIsPlaying(m_player), 1);
    while (!codecIsEndReached(m_player) && timer.elapsed() < 30000)
        QTest::qWait(5);
    const qint64 elapsed = timer.elapsed();
    QVERIFY(codecIsEndReached(m_player));
    // Played in real time: not before the medium's duration, and not much after it.
    QVERIFY2(qAbs(elapsed * 1000 - qint64(duration)) <= 500000,
             qPrintable(QStringLiteral("end after %1 ms of %2 us").arg(elapsed).arg(duration)));
    QCOMPARE(codecGetCurrentTime(m_player), duration);
    QCOMPARE(codecIsPlaying(m_player), 0);
    if (video) {
        QVERIFY(m_recorder.count() >= 20);
        QCOMPARE(m_recorder.lastFormat(), 0);
        QVERIFY(m_recorder.planesValid);
    } else {
        QCOMPARE(m_recorder.count(), 0);
    }
    // The end stays until the next seek.
    QTest::qWait(100);
    QCOMPARE(codecIsEndReached(m_player), 1);
    QVERIFY(codecSeek(m_player, 0));
    QCOMPARE(codecIsEndReached(m_player), 0);
}

void TestPlayer::pauseHoldsPosition()
{
    QVERIFY(openPaused("clip.mp4"));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecGetCurrentTime(m_player) > 500000, 10000);
    QVERIFY(codecPause(m_player));
    QCOMPARE(codecIsPaused(m_player), 1);
    QCOMPARE(codecIsPlaying(m_player), 0);
    const uint64_t held = codecGetCurrentTime(m_player);
    QTest::qWait(100);
    const int frames = m_recorder.count();
    QTest::qWait(400);
    QCOMPARE(codecGetCurrentTime(m_player), held);
    QCOMPARE(m_recorder.count(), frames);
    // Playing on starts from the held position, never before it.
    QVERIFY(codecPlay(m_player));
    QVERIFY(codecGetCurrentTime(m_player) >= held);
    QTRY_VERIFY(codecGetCurrentTime(m_player) > held);
    QVERIFY(codecPause(m_player));
    const uint64_t again = codecGetCurrentTime(m_player);
    QVERIFY(again > held);
    QTest::qWait(200);
    QCOMPARE(codecGetCurrentTime(m_player), again);
}

void TestPlayer::exactSeek_data()
{
    QTest::addColumn<qint64>("target");
    QTest::addColumn<int>("frame");
    QTest::addColumn<qint64>("position");
    QTest::newRow("keyframe") << qint64(1000000) << 25 << qint64(1000000);
    QTest::newRow("between keyframes") << qint64(1500000) << 37 << qint64(1500000);
    QTest::newRow("late in a second") << qint64(2980000) << 74 << qint64(2980000);
    QTest::newRow("last frame") << qint64(3990000) << 99 << qint64(3990000);
    QTest::newRow("past the end") << qint64(60000000) << 99 << qint64(-1);
    QTest::newRow("start") << qint64(0) << 0 << qint64(0);
}

void TestPlayer::exactSeek()
{
    QFETCH(qint64, target);
    QFETCH(int, frame);
    QFETCH(qint64, position);
    QVERIFY(openPaused("counter.mp4"));
    QVERIFY(waitForCounterFrame(0));
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(m_recorder.counterFrame(), 1);
    QVERIFY(codecSeek(m_player, uint64_t(target)));
    QCOMPARE(codecGetCurrentTime(m_player), position < 0 ? codecGetDuration(m_player) : uint64_t(position));
    waitForCounterFrame(frame);
    QCOMPARE(codecIsPaused(m_player), 1);
    QTest::qWait(200);
    QCOMPARE(m_recorder.counterFrame(), frame);
}

void TestPlayer::seekWhilePlaying()
{
    QVERIFY(openPaused("counter.mp4"));
    QVERIFY(codecPlay(m_player));
    QVERIFY(codecSeek(m_player, 3000000));
    QVERIFY(codecIsPlaying(m_player));
    QVERIFY(!codecIsPaused(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder.counterFrame() >= 75, 10000);
    QVERIFY(codecGetCurrentTime(m_player) >= 3000000);
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);
    QCOMPARE(m_recorder.counterFrame(), 99);
}

void TestPlayer::stepFrame()
{
    QVERIFY(openPaused("counter.mp4"));
    QVERIFY(waitForCounterFrame(0));
    // Each step has presented its picture and moved the position before it returns.
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(m_recorder.counterFrame(), 1);
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(m_recorder.counterFrame(), 2);
    QCOMPARE(codecGetCurrentTime(m_player), uint64_t(80000));
    QVERIFY(codecStepFrame(m_player, -1));
    QCOMPARE(m_recorder.counterFrame(), 1);
    QCOMPARE(codecGetCurrentTime(m_player), uint64_t(40000));

    // Back across a keyframe: frame 25 starts the second GOP.
    QVERIFY(codecSeek(m_player, 1000000));
    QVERIFY(waitForCounterFrame(25));
    QVERIFY(codecStepFrame(m_player, -1));
    QCOMPARE(m_recorder.counterFrame(), 24);
    QVERIFY(codecStepFrame(m_player, -1));
    QCOMPARE(m_recorder.counterFrame(), 23);
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(m_recorder.counterFrame(), 24);
    QCOMPARE(codecIsPaused(m_player), 1);

    // Stepping while playing pauses; the first picture has nothing before it.
    QVERIFY(codecSeek(m_player, 0));
    QVERIFY(waitForCounterFrame(0));
    QCOMPARE(codecStepFrame(m_player, -1), 0);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY(m_recorder.counterFrame() > 3);
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(codecIsPaused(m_player), 1);
    const int shown = m_recorder.counterFrame();
    QTest::qWait(200);
    QCOMPARE(m_recorder.counterFrame(), shown);

    // A step asked for right after a seek counts from the seek's picture, in both directions.
    QVERIFY(codecSeek(m_player, 2000000));
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(m_recorder.counterFrame(), 51);
    QCOMPARE(codecGetCurrentTime(m_player), uint64_t(2040000));
    QVERIFY(codecSeek(m_player, 3000000));
    QVERIFY(codecStepFrame(m_player, -1));
    QCOMPARE(m_recorder.counterFrame(), 74);

    // No step past the last picture.
    QVERIFY(codecSeek(m_player, 3990000));
    QVERIFY(waitForCounterFrame(99));
    QCOMPARE(codecStepFrame(m_player, 1), 0);
    QCOMPARE(m_recorder.counterFrame(), 99);
    // Paused on the last picture is not yet the end; playing on from it is.
    QTest::qWait(100);
    QCOMPARE(codecIsEndReached(m_player), 0);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);
}

void TestPlayer::stepsBackRun_data()
{
    QTest::addColumn<int>("deinterlace");
    QTest::addColumn<QString>("size");
    QTest::newRow("as decoded") << 0 << QString();
    QTest::newRow("every picture deinterlaced") << 2 << QString();
    // Pictures large enough that the cache makes its memory ready ahead.
    QTest::newRow("large pictures") << 0 << "1280x720";
    // Kept as the 8-bit pictures they are shown as; open GOPs.
    QTest::newRow("10-bit pictures") << 0 << "320x240 10-bit";
}

void TestPlayer::stepsBackRun()
{
    QFETCH(int, deinterlace);
    QFETCH(QString, size);
    // The counter fixture, or the same made at another size.
    QTemporaryDir dir;
    QByteArray clip = fixture(QStringLiteral("counter.mp4"));
    if (!size.isEmpty()) {
        clip = dir.filePath(QStringLiteral("counter.mp4")).toUtf8();
        const bool tenBit = size.endsWith(QLatin1String(" 10-bit"));
        // An open GOP: the keyframe at 60 is decoded before the pictures shown ahead of it.
        const QStringList codec = tenBit ? QStringList{"-c:v", "libx265", "-preset", "ultrafast", "-x265-params",
                                                       "lossless=1:keyint=60:log-level=error", "-pix_fmt",
                                                       "yuv420p10le"}
                                         : QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-qp", "0", "-g",
                                                       "25", "-bf", "2", "-pix_fmt", "yuv420p"};
        QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"),
                                   QStringList{"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                               "color=black:size=" + size.section(QLatin1Char(' '), 0, 0)
                                                   + ":rate=25:duration=4,format=yuv420p,geq=lum='2*N':cb=128:cr=128"}
                                       + codec + QStringList{QString::fromUtf8(clip)}),
                 0);
    }
    QVERIFY(codecOpenFile(m_player, clip.constData(), 0, 0, nullptr, nullptr));
    QVERIFY(waitForCounterFrame(0));
    codecSetDeinterlace(m_player, deinterlace);
    auto stepTo = [this](int direction, int frame) {
        if (!codecStepFrame(m_player, direction) || m_recorder.counterFrame() != frame
            || codecGetCurrentTime(m_player) != uint64_t(frame) * 40000) {
            qWarning("step %d: shown frame %d at %llu, expected %d", direction, m_recorder.counterFrame(),
                     static_cast<unsigned long long>(codecGetCurrentTime(m_player)), frame);
            return false;
        }
        return true;
    };

    // Sixty steps back from the last picture, across the keyframes at 75 and 50.
    QVERIFY(codecSeek(m_player, 3960000));
    QVERIFY(waitForCounterFrame(99));
    for (int frame = 98; frame >= 39; --frame)
        QVERIFY(stepTo(-1, frame));
    // Forward from there, and back again.
    for (int frame = 40; frame <= 42; ++frame)
        QVERIFY(stepTo(1, frame));
    QVERIFY(stepTo(-1, 41));
    QVERIFY(stepTo(-1, 40));
    // A seek between the steps: they count from its picture.
    QVERIFY(codecSeek(m_player, 2000000));
    QVERIFY(waitForCounterFrame(50));
    QVERIFY(stepTo(-1, 49));
    QVERIFY(stepTo(-1, 48));
    QVERIFY(codecSeek(m_player, 3000000));
    QVERIFY(waitForCounterFrame(75));
    QVERIFY(stepTo(-1, 74));
    QVERIFY(stepTo(1, 75));
    QVERIFY(stepTo(1, 76));
    QVERIFY(stepTo(-1, 75));
    QVERIFY(stepTo(-1, 74));
    QVERIFY(stepTo(-1, 73));
}

void TestPlayer::dragSeek()
{
    QVERIFY(openPaused("counter.mp4"));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(spectrum(m_player).time > 0, 10000);
    QVERIFY(codecBeginAsyncSeek(m_player, 2000000));
    QCOMPARE(codecIsPlaying(m_player), 0);
    QVERIFY(codecSeek(m_player, 2500000));
    QVERIFY(codecSeek(m_player, 1700000));
    // The keyframe before the latest target is shown, and nothing moves on from it.
    QVERIFY(waitForCounterFrame(25));
    QTest::qWait(200);
    QCOMPARE(m_recorder.counterFrame(), 25);
    // No sound goes out while dragging: the time of the latest audio stands still.
    const quint64 heard = spectrum(m_player).time;
    QTest::qWait(200);
    QCOMPARE(spectrum(m_player).time, heard);
    QVERIFY(codecEndAsyncSeek(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder.counterFrame() >= 42, 10000);
    QCOMPARE(codecIsPlaying(m_player), 1);
    QTRY_VERIFY_WITH_TIMEOUT(spectrum(m_player).time > 1700000, 10000);

    // A drag that began paused ends paused, on the exact picture.
    QVERIFY(codecPause(m_player));
    QVERIFY(codecBeginAsyncSeek(m_player, 2000000));
    QVERIFY(codecSeek(m_player, 600000));
    QVERIFY(codecEndAsyncSeek(m_player));
    QVERIFY(waitForCounterFrame(15));
    QCOMPARE(codecIsPaused(m_player), 1);
}

void TestPlayer::programSwitch()
{
    QVERIFY(openPaused("twoprog.ts"));
    QCOMPARE(codecGetVideoWidth(m_player), 320);
    QCOMPARE(codecGetVideoHeight(m_player), 240);
    QTRY_COMPARE(m_recorder.size(), QSize(320, 240));
    QVERIFY(codecPlay(m_player));
    QVERIFY(codecSelectProgram(m_player, 1));
    QCOMPARE(codecGetVideoWidth(m_player), 160);
    QCOMPARE(codecGetVideoHeight(m_player), 120);
    QCOMPARE(codecHasAudio(m_player), 1);
    QTRY_COMPARE(m_recorder.size(), QSize(160, 120));
    QCOMPARE(codecIsPlaying(m_player), 1);
    QTRY_VERIFY_WITH_TIMEOUT(spectrum(m_player).peak > 0, 10000);
    const Spectrum s = spectrum(m_player);
    QVERIFY(qAbs(s.peak - binOf(2000, s)) <= 1);
    QCOMPARE(codecSelectProgram(m_player, 2), 0);
    QCOMPARE(codecGetVideoWidth(m_player), 160);
}

void TestPlayer::audioTrackSwitch()
{
    QVERIFY(openPaused("movie.mkv"));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(!spectrum(m_player).silent, 10000);
    Spectrum s = spectrum(m_player);
    QVERIFY2(qAbs(s.peak - binOf(1000, s)) <= 1, qPrintable(QString::number(s.peak)));
    QVERIFY(codecSelectAudioTrack(m_player, 1));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(spectrum(m_player).peak - binOf(500, s)) <= 1, 10000);
    QVERIFY(codecGetCurrentTime(m_player) > 0);
    QCOMPARE(codecSelectAudioTrack(m_player, 2), 0);
    QVERIFY(codecSelectAudioTrack(m_player, 0));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(spectrum(m_player).peak - binOf(1000, s)) <= 1, 10000);
}

void TestPlayer::displayAspect()
{
    QVERIFY(openPaused("anamorphic.mp4"));
    QCOMPARE(codecGetVideoWidth(m_player), 720);
    QCOMPARE(codecGetVideoHeight(m_player), 576);
    QCOMPARE(codecGetDisplayAspectNum(m_player), 16u);
    QCOMPARE(codecGetDisplayAspectDen(m_player), 9u);
    QVERIFY(openPaused("clip.mp4"));
    QCOMPARE(codecGetDisplayAspectNum(m_player), 4u);
    QCOMPARE(codecGetDisplayAspectDen(m_player), 3u);
    QVERIFY(openPaused("audio.mp3"));
    QCOMPARE(codecGetDisplayAspectNum(m_player), 0u);
    QCOMPARE(codecGetVideoWidth(m_player), 0);
}

void TestPlayer::snapshot()
{
    QVERIFY(!codecCaptureSnapshot(m_player, 0, 0, 0));
    QVERIFY(openPaused("anamorphic.mp4"));
    QTRY_VERIFY(m_recorder.count() > 0);
    unsigned char *block = codecCaptureSnapshot(m_player, 0, 0, 0);
    QVERIFY(block);
    QCOMPARE(block[0], 'B');
    QCOMPARE(block[1], 'M');
    quint32 length = 0;
    std::memcpy(&length, block + 2, 4);
    QImage image;
    QVERIFY(image.loadFromData(block, int(length)));
    codecFreeSnapshot(m_player, block);
    QCOMPARE(image.size(), QSize(1024, 576));

    // The colours match the ffmpeg tool's picture of the same frame.
    const int shown = m_recorder.count();
    QVERIFY(openPaused("clip.mp4"));
    QTRY_VERIFY(m_recorder.count() > shown);
    block = codecCaptureSnapshot(m_player, 320, 240, 0);
    QVERIFY(block);
    std::memcpy(&length, block + 2, 4);
    QVERIFY(image.loadFromData(block, int(length)));
    codecFreeSnapshot(m_player, block);
    QCOMPARE(image.size(), QSize(320, 240));
    QTemporaryDir dir;
    const QString reference = dir.filePath(QStringLiteral("first.png"));
    QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"),
                               {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                QStringLiteral("-i"), QString::fromUtf8(fixture(QStringLiteral("clip.mp4"))),
                                QStringLiteral("-frames:v"), QStringLiteral("1"), reference}),
             0);
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(expected.size(), actual.size());
    qint64 difference = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(e)) + qAbs(qGreen(a) - qGreen(e)) + qAbs(qBlue(a) - qBlue(e));
        }
    const double mean = double(difference) / (actual.width() * actual.height() * 3);
    QVERIFY2(mean < 6.0, qPrintable(QString::number(mean)));
}

void TestPlayer::audioBlock()
{
    QVERIFY(openPaused("clip.mp4"));
    // Nothing has played yet: silence.
    Spectrum s = spectrum(m_player);
    QCOMPARE(s.rate, quint64(44100));
    QVERIFY(s.length >= 512);
    QVERIFY(s.silent);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(!spectrum(m_player).silent, 10000);
    QTest::qWait(100);
    s = spectrum(m_player);
    QVERIFY2(qAbs(s.peak - binOf(1000, s)) <= 1, qPrintable(QString::number(s.peak)));
    QVERIFY(!codecGetAudioBuffer(m_player, 0));
    QVERIFY(openPaused("anamorphic.mp4"));
    QVERIFY(!codecGetAudioBuffer(m_player, 1));
}

void TestPlayer::volumeClipsInsteadOfWrapping()
{
    // A full-scale tone doubled clips to a square-ish wave: its peak stays at 1 kHz and at full height.
    QTemporaryDir dir;
    const QString loud = dir.filePath(QStringLiteral("loud.wav"));
    QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"),
                               {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                QStringLiteral("sine=frequency=1000:sample_rate=44100:duration=3,volume=7.9"), loud}),
             0);
    QVERIFY(codecOpenFile(m_player, loud.toUtf8().constData(), 0, 0, nullptr, nullptr));
    codecSetVolume(m_player, 200);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(!spectrum(m_player).silent, 10000);
    QTest::qWait(100);
    const Spectrum s = spectrum(m_player);
    QVERIFY(qAbs(s.peak - binOf(1000, s)) <= 1);
    QVERIFY(s.peakValue > 64000);
    codecSetVolume(m_player, 0);
    QTRY_VERIFY_WITH_TIMEOUT(spectrum(m_player).silent, 10000);
}

void TestPlayer::callbackReplaced()
{
    QVERIFY(openPaused("counter.mp4"));
    QVERIFY(waitForCounterFrame(0));
    Recorder other;
    codecSetFrameCallback(m_player, &Recorder::callback, &other);
    const int before = m_recorder.count();
    QTRY_COMPARE(other.counterFrame(), 0);
    QVERIFY(codecStepFrame(m_player, 1));
    QCOMPARE(other.counterFrame(), 1);
    QCOMPARE(m_recorder.count(), before);

    // Replaced while playing: once the call returns, the old callback is never called again.
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY(other.counterFrame() > 3);
    codecSetFrameCallback(m_player, &Recorder::callback, &m_recorder);
    const int last = other.count();
    QTRY_VERIFY(m_recorder.count() > before + 3);
    QCOMPARE(other.count(), last);
    codecClosePlayer(m_player);
}

void TestPlayer::acceptedFormats()
{
    // A callback that takes only BGRA gets every picture converted, rows padded as the library likes.
    const int bgraOnly[] = {30};
    codecSetGlobalIntList(bgraOnly, 1);
    const bool opened = openPaused("clip.mp4");
    const int both[] = {0, 30};
    codecSetGlobalIntList(both, 2);
    QVERIFY(opened);
    QTRY_VERIFY(m_recorder.count() > 0);
    QCOMPARE(m_recorder.lastFormat(), 30);
    QCOMPARE(m_recorder.size(), QSize(320, 240));
    QVERIFY(m_recorder.planesValid);
    QVERIFY(openPaused("clip.mp4"));
    QTRY_COMPARE(m_recorder.lastFormat(), 0);
}

namespace {

// A callback that drives its own player: it must neither deadlock with the main thread nor crash.
struct Reentrant {
    uint64_t player = 0;
    std::atomic<int> calls{0};
    std::atomic<int> refused{0};

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<Reentrant *>(context);
        const int n = ++self->calls;
        codecGetCurrentTime(self->player);
        codecFrameGetWidth(frame);
        if (unsigned char *block = codecCaptureSnapshot(self->player, 32, 24, 0))
            codecFreeSnapshot(self->player, block);
        codecStepFrame(self->player, 1);
        if (n % 5 == 0)
            codecSeek(self->player, 1000000);
        if (n % 7 == 0)
            codecSetFrameCallback(self->player, &Reentrant::callback, self);
        codecPause(self->player);
        codecPlay(self->player);
        // Refused from here: they would stop the thread that runs this callback.
        self->refused += codecSelectAudioTrack(self->player, 0) == 0 && codecSelectProgram(self->player, 0) == 0
                         && codecOpenFile(self->player, "/nonexistent", 0, 0, nullptr, nullptr) == 0;
        codecClosePlayer(self->player);
        return 1;
    }
};

}

void TestPlayer::callbackCallsBack()
{
    Reentrant reentrant;
    reentrant.player = m_player;
    codecSetFrameCallback(m_player, &Reentrant::callback, &reentrant);
    for (int i = 0; i < 4; ++i) {
        QVERIFY(openPaused("counter.mp4"));
        QVERIFY(codecPlay(m_player));
        QTRY_VERIFY_WITH_TIMEOUT(reentrant.calls > 5 * (i + 1), 10000);
        codecSeek(m_player, 2000000);
        codecStepFrame(m_player, 1);
        codecClosePlayer(m_player);
    }
    const int calls = reentrant.calls;
    QTest::qWait(100);
    QCOMPARE(int(reentrant.calls), calls);
    QCOMPARE(int(reentrant.refused), calls);
}

void TestPlayer::pausedSeeksShowTheirTarget()
{
    // Seeks follow one another faster than their pictures come; each settles on its own target's picture.
    QVERIFY(openPaused("counter.mp4"));
    QVERIFY(waitForCounterFrame(0));
    std::mt19937 random(7);
    for (int round = 0; round < 30; ++round) {
        int frame = 0;
        for (int burst = 0; burst < 3; ++burst) {
            frame = int(random() % 100);
            QVERIFY(codecSeek(m_player, uint64_t(frame) * 40000));
        }
        QVERIFY2(waitForCounterFrame(frame), qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

namespace {

// A small picture whose luma tells the presenter's callback whether it came first in its serial.
rq::FrameQueue::Entry picture(int serial, bool first)
{
    rq::FrameQueue::Entry entry;
    entry.frame = rq::makeFrame();
    entry.frame->format = AV_PIX_FMT_YUV420P;
    entry.frame->width = entry.frame->height = 16;
    av_frame_get_buffer(entry.frame.get(), 0);
    for (int plane = 0; plane < 3; ++plane)
        std::memset(entry.frame->data[plane], plane ? 128 : first ? 16 : 235,
                    size_t(entry.frame->linesize[plane]) * (plane ? 8 : 16));
    entry.serial = serial;
    entry.pts = serial + (first ? 0.0 : 0.04);
    entry.duration = 0.04;
    return entry;
}

struct FirstOrNot {
    std::atomic<int> first{0};
    std::atomic<int> second{0};

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<FirstOrNot *>(context);
        ++(codecFrameGetPlane(frame, 0)[0] < 128 ? self->first : self->second);
        return 1;
    }
};

}

void TestPlayer::presenterTakesWhatItLookedAt()
{
    // The presenter alone, fed by hand as a paused player's seeks feed it: of each serial it presents the first
    // picture only. The seeks come as fast as it loops, which another thread keeps waking.
    rq::FrameQueue frames(6);
    rq::SyncState sync;
    rq::CallbackSlot slot;
    rq::LastFrame last;
    rq::PictureProcessor processing;
    rq::SubtitleRenderer subtitles;
    FirstOrNot shown;
    slot.set(&FirstOrNot::callback, &shown);
    rq::VideoPresenter presenter(frames, sync, slot, last, processing, subtitles);
    presenter.start();
    std::atomic<bool> stop{false};
    std::thread waker([&] {
        while (!stop)
            frames.wake();
    });
    for (int serial = 1; serial <= 30000 && !shown.second; ++serial) {
        // As a seek does: the serial first, then the flush, then the decoder's pictures.
        sync.serial = serial;
        frames.flush(serial);
        frames.push(picture(serial, true));
        frames.push(picture(serial, false));
    }
    stop = true;
    waker.join();
    presenter.join();
    QVERIFY(shown.first > 0);
    QCOMPARE(int(shown.second), 0);
}

void TestPlayer::producerWaitsForRoomInTheQueue()
{
    // Two pictures fill it. A producer waiting for room goes on once a picture is taken, once a seek moved
    // the queue to another serial, and stops (false) once the queue is aborted.
    rq::FrameQueue frames(2);
    frames.flush(1);
    for (int round = 0; round < 3; ++round) {
        QVERIFY(frames.push(picture(1, true)));
        QVERIFY(frames.push(picture(1, false)));
        std::atomic<int> result{-1};
        std::thread producer([&] { result = frames.waitForSpace(1) ? 1 : 0; });
        QCOMPARE(int(result), -1);
        rq::FrameQueue::Entry taken;
        if (round == 0)
            QVERIFY(frames.pop(taken));
        else if (round == 1)
            frames.flush(2);
        else
            frames.abort();
        producer.join();
        QCOMPARE(int(result), round == 2 ? 0 : 1);
        frames.flush(1);
    }
}

namespace {

// A frame callback that can be held inside, as a slow receiver holds the presenting thread.
struct Gate {
    std::mutex mutex;
    std::condition_variable cond;
    bool closed = false;
    bool inside = false;

    static int callback(void *context, void *)
    {
        auto *self = static_cast<Gate *>(context);
        std::unique_lock<std::mutex> lock(self->mutex);
        self->inside = true;
        self->cond.notify_all();
        self->cond.wait(lock, [self] { return !self->closed; });
        self->inside = false;
        return 1;
    }
    void setClosed(bool value)
    {
        std::lock_guard<std::mutex> lock(mutex);
        closed = value;
        cond.notify_all();
    }
    bool held()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return inside && closed;
    }
};

// A call on a thread of its own while the gate holds the presenting thread, and whether it has returned.
// Leaving, it opens the gate, so that a failed test does not wait for ever.
struct Call {
    Gate &gate;
    std::atomic<bool> done{false};
    std::atomic<int> result{-1};
    std::thread thread;

    template <typename F>
    Call(Gate &g, F f) : gate(g), thread([this, f] {
        result = f();
        done = true;
    })
    {
    }
    ~Call()
    {
        gate.setClosed(false);
        thread.join();
    }
};

}

void TestPlayer::stepHoldsNoOtherCall()
{
    Gate gate;
    QVERIFY(openPaused("counter.mp4"));
    codecSetFrameCallback(m_player, &Gate::callback, &gate);
    {
        // The presenting thread is held inside the callback: a step now waits for a picture that cannot come.
        gate.setClosed(true);
        QVERIFY(codecPlay(m_player));
        QTRY_VERIFY_WITH_TIMEOUT(gate.held(), 10000);
        Call step(gate, [this] { return codecStepFrame(m_player, 1); });
        QTRY_VERIFY_WITH_TIMEOUT(codecIsPaused(m_player), 5000);
        // Other calls go ahead of it, well before a step gives up on its own.
        Call pause(gate, [this] { return codecPause(m_player); });
        QTRY_VERIFY_WITH_TIMEOUT(pause.done, 5000);
        QCOMPARE(int(pause.result), 1);
        QVERIFY(!step.done);
        // A seek makes it fail at once.
        Call seek(gate, [this] { return codecSeek(m_player, 2000000); });
        QTRY_VERIFY_WITH_TIMEOUT(seek.done && step.done, 5000);
        QCOMPARE(int(step.result), 0);
    }
    {
        // So does a close, which itself waits for the callback to return.
        gate.setClosed(true);
        QVERIFY(codecPlay(m_player));
        QTRY_VERIFY_WITH_TIMEOUT(gate.held(), 10000);
        Call step(gate, [this] { return codecStepFrame(m_player, 1); });
        QTRY_VERIFY_WITH_TIMEOUT(codecIsPaused(m_player), 5000);
        Call close(gate, [this] {
            codecClosePlayer(m_player);
            return 1;
        });
        QTRY_VERIFY_WITH_TIMEOUT(step.done, 5000);
        QCOMPARE(int(step.result), 0);
        QVERIFY(!close.done);
        gate.setClosed(false);
        QTRY_VERIFY_WITH_TIMEOUT(close.done, 10000);
    }
    QCOMPARE(codecHasVideo(m_player), 0);
}

namespace {

// A callback that destroys its own player at its third picture.
struct SelfDestroying {
    uint64_t player = 0;
    std::atomic<int> calls{0};

    static int callback(void *context, void *)
    {
        auto *self = static_cast<SelfDestroying *>(context);
        if (++self->calls == 3)
            codecDestroyPlayer(self->player);
        return 1;
    }
};

}

void TestPlayer::destroyedFromItsOwnCallback()
{
    SelfDestroying self;
    self.player = codecCreatePlayer(-1);
    QVERIFY(self.player);
    codecSetFrameCallback(self.player, &SelfDestroying::callback, &self);
    QVERIFY(codecOpenFile(self.player, fixture(QStringLiteral("clip.mp4")).constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecPlay(self.player));
    QTRY_VERIFY_WITH_TIMEOUT(self.calls >= 3, 10000);
    // The handle is gone at once, and no picture reaches the callback after the one that destroyed it.
    QCOMPARE(codecHasVideo(self.player), 0);
    QCOMPARE(codecPlay(self.player), 0);
    QVERIFY(openPaused("clip.mp4"));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder.count() > 10, 10000);
    QCOMPARE(int(self.calls), 3);
}

void TestPlayer::silentPlayersPlayTogether_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("MP3") << QStringLiteral("audio.mp3");
    QTest::newRow("FLAC") << QStringLiteral("tone.flac");
    QTest::newRow("Ogg Vorbis") << QStringLiteral("tone.ogg");
    QTest::newRow("video with sound") << QStringLiteral("clip.mp4");
}

void TestPlayer::silentPlayersPlayTogether()
{
    QFETCH(QString, file);

    // Tests run with ZR_AUDIO=null: each player's sound goes to an output of its own, none needs a device.
    const uint64_t others[] = {codecCreatePlayer(-1), codecCreatePlayer(-1)};
    const uint64_t players[] = {m_player, others[0], others[1]};
    for (const uint64_t player : players) {
        QCOMPARE(codecOpenFile(player, fixture(file).constData(), 0, 0, nullptr, nullptr), 1);
        QCOMPARE(codecHasAudio(player), 1);
    }
    for (const uint64_t player : players)
        QVERIFY(codecPlay(player));
    for (const uint64_t player : players)
        QTRY_VERIFY_WITH_TIMEOUT(!spectrum(player).silent, 10000);
    for (const uint64_t player : players)
        QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(player), 20000);
    for (const uint64_t player : others)
        codecDestroyPlayer(player);
}

void TestPlayer::soundRatesNoDevicePlays_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<quint64>("rate");
    QTest::newRow("384 kHz, played at 192 kHz") << QStringLiteral("rate384k.wav") << quint64(192000);
    QTest::newRow("1073741824 Hz declared, refused") << QStringLiteral("rate1g.wav") << quint64(0);
}

void TestPlayer::soundRatesNoDevicePlays()
{
    QFETCH(QString, file);
    QFETCH(quint64, rate);

    // Faster than recorded, so that the speed filter runs at the rate played.
    codecSetPlaybackSpeed(m_player, 150);
    codecSetAudioRatePercent(m_player, 66);
    QCOMPARE(codecOpenFile(m_player, fixture(file).constData(), 0, 0, nullptr, nullptr), rate ? 1 : 0);
    if (!rate) {
        QCOMPARE(codecHasAudio(m_player), 0);
        QVERIFY(openPaused("audio.mp3"));
        QCOMPARE(codecHasAudio(m_player), 1);
        return;
    }
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(!spectrum(m_player).silent, 10000);
    const Spectrum s = spectrum(m_player);
    QCOMPARE(s.rate, rate);
    QVERIFY2(qAbs(s.peak - binOf(1000, s)) <= 1, qPrintable(QString::number(s.peak)));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);
}

void TestPlayer::seekFarPastTheEndOfAnUnknownLength_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<quint64>("target");
    QTest::addColumn<bool>("playing");

    // 2 s, 50 counted pictures, with sound, and no duration: Matroska written to a pipe, and a live WebM made here.
    for (const QString clip : {"unknownlength.mkv", "live.webm"})
        for (const bool playing : {true, false}) {
            const QString state = playing ? ", playing" : ", paused";
            QTest::newRow(qPrintable(clip + ", a thousand years" + state))
                << clip << quint64(1000) * 365 * 86400 * 1000000 << playing;
            QTest::newRow(qPrintable(clip + ", the last microsecond there is" + state)) << clip << ~quint64(0) << playing;
        }
}

void TestPlayer::seekFarPastTheEndOfAnUnknownLength()
{
    QFETCH(QString, clip);
    QFETCH(quint64, target);
    QFETCH(bool, playing);

    QTemporaryDir folder;
    QByteArray path = fixture(clip);
    if (clip.endsWith(".webm")) {
        path = folder.filePath(clip).toUtf8();
        QCOMPARE(QProcess::execute("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                              "color=black:size=64x64:rate=25:duration=2,format=yuv420p,"
                                              "geq=lum='2*N':cb=128:cr=128",
                                              "-f", "lavfi", "-i", "sine=frequency=1000:sample_rate=48000:duration=2",
                                              "-c:v", "libvpx-vp9", "-lossless", "1", "-g", "25", "-c:a", "libopus",
                                              "-live", "1", "-f", "webm", QString::fromUtf8(path)}),
                 0);
    }
    QVERIFY(codecOpenFile(m_player, path.constData(), 0, 0, nullptr, nullptr));
    QCOMPARE(codecGetDuration(m_player), uint64_t(0));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder.counterFrame() >= 5, 10000);
    if (!playing)
        QVERIFY(codecPause(m_player));
    QVERIFY(codecSeek(m_player, target));
    // The seek lands on the last picture, and the position with it, inside the medium.
    QVERIFY(waitForCounterFrame(49));
    QTRY_VERIFY_WITH_TIMEOUT(codecGetCurrentTime(m_player) >= 1900000 && codecGetCurrentTime(m_player) <= 2100000,
                             10000);
    // Played on from there, the end is reached rather than the medium started over.
    if (!playing)
        QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 10000);
    QCOMPARE(m_recorder.counterFrame(), 49);
    QVERIFY2(codecGetCurrentTime(m_player) <= 2100000, qPrintable(QString::number(codecGetCurrentTime(m_player))));
}

void TestPlayer::stepsOnStampsFarApart()
{
    // Pictures stepped while paused: playing on, the sound skips what lies before them, here none of it.
    QVERIFY(openPaused("farapart.mkv"));
    QVERIFY(waitForCounterFrame(0));
    for (int step = 1; step <= 3; ++step)
        QVERIFY(codecStepFrame(m_player, 1));
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(!spectrum(m_player).silent, 10000);
}

QTEST_GUILESS_MAIN(TestPlayer)
namespace {

// Counts the counter fixture's pictures while playing; the picture `slowAt` keeps the callback until the player's
// clock has passed it by `slowFor` seconds, as a consumer that falls behind does.
struct SlowConsumer {
    uint64_t player = 0;
    int slowAt = -1;
    double slowFor = 0;
    std::mutex mutex;
    std::vector<int> shown;

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<SlowConsumer *>(context);
        const int number = (codecFrameGetPlane(frame, 0)[(codecFrameGetHeight(frame) / 2)
                                                          * codecFrameGetLineSize(frame, 0)
                                                          + codecFrameGetWidth(frame) / 2]
                            + 1) / 2;
        if (number == self->slowAt) {
            const uint64_t until = uint64_t((number * 0.04 + self->slowFor) * 1e6);
            QElapsedTimer waited;
            waited.start();
            while (codecGetCurrentTime(self->player) < until && waited.elapsed() < 20000)
                std::this_thread::yield();
        }
        std::lock_guard<std::mutex> lock(self->mutex);
        self->shown.push_back(number);
        return 1;
    }
};

// Holds the first picture played in the callback for a second of wall time and notes the clock then; records
// the pictures that follow.
struct FirstPlayed {
    uint64_t player = 0;
    std::atomic<bool> playing{false};
    std::mutex mutex;
    std::vector<int> played;
    uint64_t clockWhileHeld = UINT64_MAX;

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<FirstPlayed *>(context);
        if (!self->playing)
            return 1;
        const int number = (codecFrameGetPlane(frame, 0)[(codecFrameGetHeight(frame) / 2)
                                                          * codecFrameGetLineSize(frame, 0)
                                                          + codecFrameGetWidth(frame) / 2]
                            + 1) / 2;
        std::unique_lock<std::mutex> lock(self->mutex);
        self->played.push_back(number);
        if (self->played.size() == 1) {
            lock.unlock();
            QElapsedTimer held;
            held.start();
            while (held.elapsed() < 1000)
                std::this_thread::yield();
            const uint64_t clock = codecGetCurrentTime(self->player);
            lock.lock();
            self->clockWhileHeld = clock;
        }
        return 1;
    }
    std::vector<int> pictures()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return played;
    }
};

}

void TestPlayer::framesCounted_data()
{
    QTest::addColumn<int>("slowAt");
    QTest::addColumn<double>("slowFor");
    QTest::addColumn<int>("leastDropped");
    QTest::newRow("consumer keeping up") << -1 << 0.0 << 0;
    // Half a second is 12 pictures; those beyond the 50 ms bound, at least 10, are not shown.
    QTest::newRow("consumer falling behind") << 30 << 0.5 << 10;
}

void TestPlayer::framesCounted()
{
    QFETCH(int, slowAt);
    QFETCH(double, slowFor);
    QFETCH(int, leastDropped);
    SlowConsumer consumer;
    // The consumer goes with this function, also when it fails: no callback may reach it after.
    const auto detach = qScopeGuard([this] { codecSetFrameCallback(m_player, nullptr, nullptr); });
    consumer.player = m_player;
    consumer.slowAt = slowAt;
    consumer.slowFor = slowFor;
    codecSetFrameCallback(m_player, &SlowConsumer::callback, &consumer);
    QVERIFY(openPaused("counter.mp4"));
    int64_t shown = -1, repeated = -1, dropped = -1;
    QTRY_VERIFY_WITH_TIMEOUT((codecGetFrameCounts(m_player, &shown, nullptr, nullptr), shown == 1), 10000);
    // A callback set while paused is given the picture again.
    codecSetFrameCallback(m_player, &SlowConsumer::callback, &consumer);
    QTRY_VERIFY_WITH_TIMEOUT((codecGetFrameCounts(m_player, nullptr, &repeated, nullptr), repeated == 1), 10000);
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(codecIsEndReached(m_player), 30000);
    codecGetFrameCounts(m_player, &shown, &repeated, &dropped);
    std::vector<int> numbers;
    {
        std::lock_guard<std::mutex> lock(consumer.mutex);
        numbers = consumer.shown;
    }
    // Every picture of the 100 is either shown once or dropped, and the counts say which.
    QCOMPARE(repeated, int64_t(1));
    QCOMPARE(shown, int64_t(numbers.size() - 1));
    QCOMPARE(shown + dropped, int64_t(100));
    QVERIFY2(dropped >= leastDropped, qPrintable(QStringLiteral("%1 dropped").arg(dropped)));
    QVERIFY(std::is_sorted(numbers.begin() + 1, numbers.end()));
    QCOMPARE(numbers.back(), 99);
    // Nothing for a player that is not there; null pointers are allowed.
    codecGetFrameCounts(m_player, nullptr, nullptr, nullptr);
    int64_t none = -1;
    codecGetFrameCounts(0, &none, nullptr, nullptr);
    QCOMPARE(none, int64_t(0));
}

void TestPlayer::clockStartsWithTheFirstPicture()
{
    FirstPlayed consumer;
    const auto detach = qScopeGuard([this] { codecSetFrameCallback(m_player, nullptr, nullptr); });
    consumer.player = m_player;
    codecSetFrameCallback(m_player, &FirstPlayed::callback, &consumer);
    QVERIFY(openPaused("counter.mp4"));
    int64_t shown = 0;
    QTRY_VERIFY_WITH_TIMEOUT((codecGetFrameCounts(m_player, &shown, nullptr, nullptr), shown == 1), 10000);
    consumer.playing = true;
    QVERIFY(codecPlay(m_player));
    QTRY_VERIFY_WITH_TIMEOUT(consumer.pictures().size() >= 3, 20000);
    std::vector<int> played = consumer.pictures();
    // Held for a second in the callback, the first picture played kept the clock where play found it; the
    // clock then ran from that picture, so that the next ones came in turn instead of being dropped as late.
    QCOMPARE(played[0], 1);
    {
        std::lock_guard<std::mutex> lock(consumer.mutex);
        QCOMPARE(consumer.clockWhileHeld, uint64_t(0));
    }
    QVERIFY2(played[1] <= 4, qPrintable(QStringLiteral("picture %1 after the first").arg(played[1])));
}

#include "tst_player.moc"
