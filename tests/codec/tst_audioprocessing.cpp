#include "codec/audioprocessor.h"
#include "codec/rqcodec.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

using rq::AudioProcessor;

namespace {

constexpr int kRate = 44100;

QByteArray fixture(const char *name)
{
    return QByteArray(ZR_FIXTURES_DIR) + '/' + name;
}

// Interleaved signed 16-bit stereo sine, as the decoder hands it on.
rq::FramePtr sine(double hz, double amplitude, int64_t firstSample, int samples)
{
    rq::FramePtr frame = rq::makeFrame();
    frame->format = AV_SAMPLE_FMT_S16;
    frame->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    frame->sample_rate = kRate;
    frame->nb_samples = samples;
    av_frame_get_buffer(frame.get(), 0);
    auto *out = reinterpret_cast<int16_t *>(frame->data[0]);
    for (int i = 0; i < samples; ++i)
        out[2 * i] = out[2 * i + 1] =
            int16_t(std::lround(32767 * amplitude * std::sin(2 * M_PI * hz * double(firstSample + i) / kRate)));
    return frame;
}

struct Processed {
    std::vector<int16_t> left;
    double firstPts = -1;
    double mediaCovered = 0;
    bool contiguous = true;
};

// Runs seconds of a sine through the processor in decoder-sized frames.
Processed run(AudioProcessor &processor, double hz, double amplitude, double seconds)
{
    Processed result;
    std::vector<AudioProcessor::Chunk> chunks;
    auto take = [&] {
        for (const AudioProcessor::Chunk &c : chunks) {
            if (result.firstPts < 0)
                result.firstPts = c.pts;
            else if (std::abs(result.firstPts + result.mediaCovered - c.pts) > 1e-6)
                result.contiguous = false;
            result.mediaCovered += c.duration;
            const auto *s = reinterpret_cast<const int16_t *>(c.frame->data[0]);
            for (int i = 0; i < c.frame->nb_samples; ++i)
                result.left.push_back(s[2 * i]);
        }
        chunks.clear();
    };
    const int total = int(seconds * kRate);
    for (int at = 0; at < total; at += 1024) {
        processor.push(sine(hz, amplitude, at, std::min(1024, total - at)), double(at) / kRate, chunks);
        take();
    }
    processor.finish(chunks);
    take();
    return result;
}

// The frequency of a sine from its rising zero crossings, away from the ends.
double frequencyOf(const std::vector<int16_t> &samples)
{
    const size_t from = samples.size() / 10, to = samples.size() * 9 / 10;
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = from + 1; i < to; ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (!crossings)
                first = i;
            last = i;
            ++crossings;
        }
    return crossings > 1 ? (crossings - 1) * double(kRate) / double(last - first) : 0;
}

// The value of the audio block's bin at a frequency.
int binValue(uint64_t player, double hz)
{
    unsigned char *block = codecGetAudioBuffer(player, 1);
    if (!block)
        return -1;
    quint64 rate = 0;
    quint32 length = 0;
    std::memcpy(&rate, block + 24, 8);
    std::memcpy(&length, block + 40, 4);
    const int bins = int(length / 2);
    const int bin = int(hz / (rate / 2.0) * bins + 0.5);
    quint16 value = 0;
    // The strongest of the neighbouring bins, for a peak that falls between two.
    for (int b = std::max(0, bin - 1); b <= std::min(bins - 1, bin + 1); ++b) {
        quint16 v = 0;
        std::memcpy(&v, block + 44 + 2 * b, 2);
        value = std::max(value, v);
    }
    codecReleaseAudioBuffer(player, block);
    return value;
}

// Frame callback for the counter fixture, whose luma is twice the frame number.
struct CounterView {
    std::mutex mutex;
    int luma = -1;

    static int callback(void *context, void *frame)
    {
        auto *self = static_cast<CounterView *>(context);
        if (codecFrameGetFormat(frame) != 0)
            return 0;
        const int w = codecFrameGetWidth(frame), h = codecFrameGetHeight(frame);
        const int value = codecFrameGetPlane(frame, 0)[(h / 2) * codecFrameGetLineSize(frame, 0) + w / 2];
        std::lock_guard<std::mutex> lock(self->mutex);
        self->luma = value;
        return 1;
    }
    double seconds()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return luma < 0 ? -1 : ((luma + 1) / 2) / 25.0;
    }
};

}

class TestAudioProcessing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void speedKeepsPitch_data();
    void speedKeepsPitch();
    void flatSettingsPassSoundThrough();
    void boostsHaveHeadroom_data();
    void boostsHaveHeadroom();
    void peakGainOfTheCurve_data();
    void peakGainOfTheCurve();
    void settingsChangeWithoutLosingSound();

    void doubleSpeedPlaysInHalfTheTime();
    void equaliserCutLowersTheBand();
    void audioDelayShiftsSoundAgainstPicture_data();
    void audioDelayShiftsSoundAgainstPicture();

private:
    double playToTheEnd(const char *name);
    uint64_t m_player = 0;
    CounterView m_view;
};

void TestAudioProcessing::initTestCase()
{
    const int yuv = 0;
    codecSetGlobalIntList(&yuv, 1);
}

void TestAudioProcessing::init()
{
    m_player = codecCreatePlayer(-1);
    QVERIFY(m_player);
}

void TestAudioProcessing::cleanup()
{
    codecClosePlayer(m_player);
    codecDestroyPlayer(m_player);
}

void TestAudioProcessing::speedKeepsPitch_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("ratePercent");
    QTest::addColumn<double>("pitch");

    QTest::newRow("100, pitch kept") << 100 << 100 << 1000.0;
    QTest::newRow("20, pitch kept") << 20 << 500 << 1000.0;
    QTest::newRow("80, pitch kept") << 80 << 125 << 1000.0;
    QTest::newRow("120, pitch kept") << 120 << 83 << 1000.0;
    QTest::newRow("200, pitch kept") << 200 << 50 << 1000.0;
    QTest::newRow("800, pitch kept") << 800 << 12 << 1000.0;
    QTest::newRow("300, no rate sent") << 300 << 0 << 1000.0;
    QTest::newRow("200, pitch doubled") << 200 << 100 << 2000.0;
    QTest::newRow("100, pitch halved") << 100 << 50 << 500.0;
}

void TestAudioProcessing::speedKeepsPitch()
{
    QFETCH(int, speed);
    QFETCH(int, ratePercent);
    QFETCH(double, pitch);

    AudioProcessor processor;
    processor.setSpeed(speed);
    processor.setRatePercent(ratePercent);
    // Keeping the pitch takes no resampling at all.
    const std::string chain = AudioProcessor::chainFor(processor.settings(), kRate);
    QCOMPARE(chain.find("asetrate") == std::string::npos, pitch == 1000.0);
    const double seconds = 2.0;
    const Processed out = run(processor, 1000, 0.25, seconds);
    const double played = double(out.left.size()) / kRate;
    const double expected = seconds * 100 / speed;
    QVERIFY2(std::abs(played - expected) < expected * 0.05 + 0.05, qPrintable(QString::number(played)));
    QVERIFY2(std::abs(frequencyOf(out.left) - pitch) < pitch * 0.03, qPrintable(QString::number(frequencyOf(out.left))));
    // The chunks follow one another and cover the medium that went in.
    QVERIFY(out.contiguous);
    QCOMPARE(out.firstPts, 0.0);
    QVERIFY2(std::abs(out.mediaCovered - seconds) < 0.1, qPrintable(QString::number(out.mediaCovered)));
}

void TestAudioProcessing::flatSettingsPassSoundThrough()
{
    AudioProcessor processor;
    const double freqs[] = {60, 1000, 16000};
    const double gains[] = {0, 0, 0};
    processor.setEqualizer(freqs, gains, 3);
    processor.setSpeed(100);
    QVERIFY(AudioProcessor::chainFor(processor.settings(), kRate).empty());

    std::vector<AudioProcessor::Chunk> chunks;
    rq::FramePtr in = sine(440, 0.5, 0, 1024);
    const AVFrame *sent = in.get();
    processor.push(std::move(in), 1.5, chunks);
    QCOMPARE(chunks.size(), size_t(1));
    QCOMPARE(chunks[0].frame.get(), sent);
    QCOMPARE(chunks[0].pts, 1.5);
    QCOMPARE(chunks[0].duration, 1024.0 / kRate);

    // Null arrays or a negative count are no bands either.
    processor.setEqualizer(nullptr, nullptr, 10);
    processor.setEqualizer(freqs, gains, -1);
    QVERIFY(processor.settings().bands.empty());
}

void TestAudioProcessing::boostsHaveHeadroom_data()
{
    QTest::addColumn<QVector<double>>("gains");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");

    // Half of full scale at 1 kHz. One band of +12 dB there: lowered by just those 12 dB, the tone keeps its
    // level. Every band at +12 dB: the curve peaks higher where bands crowd together, so more is taken off.
    QTest::newRow("1 kHz band boosted") << QVector<double>{0, 0, 0, 0, 12, 0, 0, 0, 0, 0} << 0.45 << 0.55;
    QTest::newRow("every band boosted") << QVector<double>{12, 12, 12, 12, 12, 12, 12, 12, 12, 12} << 0.1 << 0.5;
}

void TestAudioProcessing::boostsHaveHeadroom()
{
    QFETCH(QVector<double>, gains);
    QFETCH(double, lowest);
    QFETCH(double, highest);

    const double freqs[] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    AudioProcessor processor;
    processor.setEqualizer(freqs, gains.constData(), 10);
    const Processed out = run(processor, 1000, 0.5, 0.5);
    QVERIFY(!out.left.empty());
    int peak = 0, clipped = 0;
    for (int16_t s : out.left) {
        peak = std::max(peak, std::abs(int(s)));
        clipped += std::abs(int(s)) >= 32767;
    }
    QCOMPARE(clipped, 0);
    QVERIFY2(peak > 32767 * lowest && peak < 32767 * highest, qPrintable(QString::number(peak)));
}

void TestAudioProcessing::peakGainOfTheCurve_data()
{
    QTest::addColumn<QVector<double>>("freqs");
    QTest::addColumn<QVector<double>>("gains");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");

    QTest::newRow("one band") << QVector<double>{1000} << QVector<double>{6} << 5.9 << 6.1;
    QTest::newRow("cut only") << QVector<double>{1000} << QVector<double>{-12} << -0.1 << 0.1;
    QTest::newRow("neighbours add up") << QVector<double>{12000, 14000, 16000} << QVector<double>{12, 12, 12}
                                       << 20.0 << 36.0;
    QTest::newRow("above half the rate") << QVector<double>{30000} << QVector<double>{12} << -1e9 << 0.0;
}

void TestAudioProcessing::peakGainOfTheCurve()
{
    QFETCH(QVector<double>, freqs);
    QFETCH(QVector<double>, gains);
    QFETCH(double, low);
    QFETCH(double, high);

    std::vector<AudioProcessor::Band> bands;
    for (int i = 0; i < freqs.size(); ++i)
        bands.push_back({freqs[i], gains[i]});
    const double peak = AudioProcessor::peakGain(bands, kRate);
    QVERIFY2(peak >= low && peak <= high, qPrintable(QString::number(peak)));
}

void TestAudioProcessing::settingsChangeWithoutLosingSound()
{
    AudioProcessor processor;
    processor.setSpeed(150);
    std::vector<AudioProcessor::Chunk> chunks;
    int64_t out = 0;
    for (int i = 0; i < 40; ++i) {
        if (i == 20)
            processor.setSpeed(100);
        processor.push(sine(1000, 0.25, int64_t(i) * 1024, 1024), i * 1024.0 / kRate, chunks);
    }
    processor.finish(chunks);
    double media = 0;
    for (const AudioProcessor::Chunk &c : chunks) {
        out += c.frame->nb_samples;
        media += c.duration;
    }
    // Half at 1.5 times, half as is: nothing the first graph held is lost at the change.
    const double expected = 20 * 1024 / 1.5 + 20 * 1024;
    QVERIFY2(std::abs(out - expected) < 0.03 * expected, qPrintable(QString::number(out)));
    QVERIFY2(std::abs(media - 40 * 1024.0 / kRate) < 0.03, qPrintable(QString::number(media)));
}

double TestAudioProcessing::playToTheEnd(const char *name)
{
    if (!codecOpenFile(m_player, fixture(name).constData(), 0, 0, nullptr, nullptr))
        return -1;
    QElapsedTimer timer;
    timer.start();
    codecPlay(m_player);
    while (!codecIsEndReached(m_player) && timer.elapsed() < 15000)
        QTest::qWait(10);
    const double seconds = timer.elapsed() / 1000.0;
    codecClosePlayer(m_player);
    return seconds;
}

void TestAudioProcessing::doubleSpeedPlaysInHalfTheTime()
{
    const double normal = playToTheEnd("clip.mp4");
    QVERIFY(normal > 1.5);
    codecSetPlaybackSpeed(m_player, 200);
    codecSetAudioRatePercent(m_player, 50);
    const double fast = playToTheEnd("clip.mp4");
    QVERIFY2(fast > 0.6 && fast < 1.7 && fast < normal * 0.75,
             qPrintable(QStringLiteral("%1 s against %2 s").arg(fast).arg(normal)));

    // Pictures alone follow the speed too.
    codecSetPlaybackSpeed(m_player, 400);
    const double fastPictures = playToTheEnd("pattern.mp4");
    QVERIFY2(fastPictures > 0.2 && fastPictures < 1.3, qPrintable(QString::number(fastPictures)));
}

void TestAudioProcessing::equaliserCutLowersTheBand()
{
    QVERIFY(codecOpenFile(m_player, fixture("movie.mkv").constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecPlay(m_player));
    QTest::qWait(700);
    const int before = binValue(m_player, 1000);
    QVERIFY(before > 30000);

    const double freqs[] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    double gains[] = {0, 0, 0, 0, -30, 0, 0, 0, 0, 0};
    codecSetEqualizer(m_player, freqs, gains, 10);
    gains[4] = 0;  // the library keeps its own copy
    // What was queued before the change plays out first.
    QTRY_VERIFY_WITH_TIMEOUT(binValue(m_player, 1000) < before - 15000, 2500);

    codecSetEqualizer(m_player, nullptr, nullptr, 0);
    QTRY_VERIFY_WITH_TIMEOUT(binValue(m_player, 1000) > before - 3000, 2500);
}

void TestAudioProcessing::audioDelayShiftsSoundAgainstPicture_data()
{
    QTest::addColumn<qint64>("delay");
    QTest::newRow("none") << qint64(0);
    QTest::newRow("sound later") << qint64(500000);
    QTest::newRow("sound earlier") << qint64(-500000);
}

void TestAudioProcessing::audioDelayShiftsSoundAgainstPicture()
{
    QFETCH(qint64, delay);

    codecSetFrameCallback(m_player, &CounterView::callback, &m_view);
    codecSetAudioDelay(m_player, delay);
    QVERIFY(codecOpenFile(m_player, fixture("counter.mp4").constData(), 0, 0, nullptr, nullptr));
    QVERIFY(codecPlay(m_player));

    // At each new picture from half a second on, how far the sound is from it. The block's time is the position
    // of the newest sound, about one device buffer ahead of what is heard. A busy machine delays single
    // pictures; the median of the readings is the shift.
    std::vector<double> shifts;
    double picture = -1;
    while (shifts.size() < 15) {
        const double before = picture;
        QTRY_VERIFY_WITH_TIMEOUT((picture = m_view.seconds()) != before || codecIsEndReached(m_player), 10000);
        QVERIFY2(picture < 3.5, "the clip ended before the sound was measured");
        unsigned char *block = codecGetAudioBuffer(m_player, 1);
        QVERIFY(block);
        quint64 soundMicros = 0;
        std::memcpy(&soundMicros, block + 8, 8);
        codecReleaseAudioBuffer(m_player, block);
        if (picture >= 0.5)
            shifts.push_back(picture - soundMicros / 1e6);
    }
    std::sort(shifts.begin(), shifts.end());
    const double shift = shifts[shifts.size() / 2];
    QVERIFY2(std::abs(shift - delay / 1e6) < 0.12, qPrintable(QStringLiteral("shift %1 s").arg(shift)));
}

QTEST_GUILESS_MAIN(TestAudioProcessing)
#include "tst_audioprocessing.moc"
